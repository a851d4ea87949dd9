// The socket control under more datagrams than its owner can take: whatever it does not take, the
// kernel counts as dropped, and it never stops taking, whichever way the queue ran over and however
// often it is closed and bound again.

#include "FloodSender.h"
#include "ProcNetUdp.h"
#include "link/ReplyWait.h"
#include "link/SSock.h"

#include <QTest>

using namespace vrx;

namespace {
const QHostAddress Bound(QStringLiteral("127.0.55.1"));
constexpr quint16 Port = 1000;
} // namespace

class TestSSockOverrun : public QObject {
    Q_OBJECT

private slots:
    void keepsTakingAfterItsQueueRanOver_data();
    void keepsTakingAfterItsQueueRanOver();
};

void TestSSockOverrun::keepsTakingAfterItsQueueRanOver_data() {
    QTest::addColumn<int>("paceMicroseconds");
    QTest::addColumn<int>("longest");
    QTest::addColumn<bool>("overruns");
    QTest::newRow("small datagrams back to back") << 0 << 100 << true;
    QTest::newRow("every length, one each 20 us") << 20 << 1472 << false;
    QTest::newRow("every length back to back") << 0 << 1472 << true;
}

void TestSSockOverrun::keepsTakingAfterItsQueueRanOver() {
    QFETCH(int, paceMicroseconds);
    QFETCH(int, longest);
    QFETCH(bool, overruns);

    SSock sock;
    quint64 taken = 0;
    connect(&sock, &SSock::DataArrival, this, [&] { ++taken; });
    FloodGate gate;
    FloodSender sender(gate, Bound, Port,
                       {QHostAddress(QStringLiteral("127.0.55.2")), 0, 1000000,
                        std::chrono::microseconds(paceMicroseconds), 7, [longest](std::mt19937 &random) {
                            return QByteArray(int(random() % quint32(longest + 1)), 'x');
                        }});
    QString error;
    QVERIFY2(sender.start(&error), qPrintable(error));

    quint64 accountedSent = 0, dropped = 0;
    for (int round = 0; round < 8; ++round) {
        sock.Close();
        sock.Bind(Port, Bound.toString());
        const quint64 takenBefore = taken;
        // The kernel counts drops per socket; Bind may hand back the socket of the round before.
        const std::optional<UdpSocketCounters> atBind = UdpSocketState(Bound, Port);
        QVERIFY(atBind);
        const quint64 droppedBefore = atBind->drops;
        gate.open();
        const qint16 noReply = 0;
        WaitForReply(TickCount(), noReply); // the window's thread as an operation runs it
        gate.close();

        const quint64 sent = sender.sent() - accountedSent;
        std::optional<UdpSocketCounters> socket;
        const bool balanced = QTest::qWaitFor(
            [&] {
                socket = UdpSocketState(Bound, Port);
                return socket && taken - takenBefore + socket->drops - droppedBefore == sent;
            },
            5000);
        QVERIFY2(balanced,
                 qPrintable(QStringLiteral("round %1: sent %2, taken %3, dropped %4, %5 bytes left queued")
                                .arg(round)
                                .arg(sent)
                                .arg(taken - takenBefore)
                                .arg(socket ? socket->drops - droppedBefore : 0)
                                .arg(socket ? socket->queuedBytes : 0)));
        accountedSent += sent;
        dropped += socket->drops - droppedBefore;
    }
    if (overruns)
        QVERIFY(dropped > 0);
    qInfo("sent %llu, taken %llu, dropped %llu", accountedSent, taken, dropped);
}

QTEST_MAIN(TestSSockOverrun)
#include "tst_ssockoverrun.moc"
