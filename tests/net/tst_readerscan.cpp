// The scan engine on loopback against simulated readers that live in this test's event loop: it runs
// without blocking, reports as it goes, stops early keeping what it found, and reports failures.
//
// Addresses: computer side 127.0.60.x (127.0.0.1 under wine), readers 127.1.60.x and 127.1.61.x.
#include "ComputerAddress.h"
#include "ReaderSimulator.h"

#include "link/LocalCards.h"
#include "link/QtSocketErrors.h"
#include "link/ReplyWait.h"
#include "link/SSock.h"
#include "net/AddressRange.h"
#include "net/ReaderScan.h"
#include "words/SocketWords.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace vrx;
using vrx::test::ComputerAddress;

namespace {

QList<quint32> Addresses(const QString &range) {
    return ExpandRanges({range}).addresses;
}

ScanOptions From(const QString &local, int timeoutMs = 1000, int rate = 0) {
    ScanOptions options;
    options.local = local;
    options.timeoutMs = timeoutMs;
    options.ratePerSecond = rate;
    return options;
}

// Counts the queries a scan has sent.
class SendCounter final : public LinkObserver {
public:
    void sent(const QString &, quint16, const QByteArray &) override { ++count; }
    void received(const QString &, quint16, const QByteArray &) override {}
    int count = 0;
};

QStringList AddressesOf(const QList<FoundReader> &readers) {
    QStringList addresses;
    for (const FoundReader &reader : readers)
        addresses.append(reader.address);
    return addresses;
}

// The loopback card's name: "lo" on Linux; Windows names it itself ("loopback_1" under wine).
QString LoopbackCard() {
#ifdef Q_OS_LINUX
    return QStringLiteral("lo");
#else
    const auto card = CardWithAddress(LocalCards(), QHostAddress(QHostAddress::LocalHost).toIPv4Address());
    return card ? card->name : QString();
#endif
}

} // namespace

class TestReaderScan : public QObject {
    Q_OBJECT

private slots:
    void findsEveryReaderWithoutBlocking();
    void stopKeepsWhatWasFound();
    void aSecondStopEndsAtOnce();
    void aTakenPortFailsAfterStartReturns();
    void aLateReplyDoesNotCount();
    void aGatewayWithoutArpAddsNoWait();
    void nonThrowingSend();
};

void TestReaderScan::findsEveryReaderWithoutBlocking() {
    ReaderSimulator sim;
    for (const QString address : {"127.1.60.254", "127.1.60.1", "127.1.60.77"})
        QVERIFY(sim.addReader(address));
    ReaderScan scan;
    QSignalSpy found(&scan, &ReaderScan::readerFound);
    QSignalSpy progress(&scan, &ReaderScan::progress);
    QSignalSpy finished(&scan, &ReaderScan::finished);
    QSignalSpy failed(&scan, &ReaderScan::failed);
    scan.start(Addresses("127.1.60.0/24"), From(ComputerAddress("127.0.60.1")));
    // start() returns before anything is sent or found.
    QVERIFY(scan.isRunning());
    QCOMPARE(found.count() + finished.count(), 0);
    QVERIFY(sim.received().isEmpty());

    QVERIFY(finished.wait(5000));
    QCOMPARE(failed.count(), 0);
    QCOMPARE(found.count(), 3);
    QCOMPARE(AddressesOf(scan.found()), (QStringList{"127.1.60.1", "127.1.60.77", "127.1.60.254"}));
    QCOMPARE(scan.found().front().card, LoopbackCard());
    QCOMPARE(scan.found().front().cardAddress, ComputerAddress("127.0.60.1"));
    QCOMPARE(scan.found().front().settings.readerIp, sim.reader("127.1.60.1")->settings().readerIp);
    const QList<QVariant> last = progress.constLast();
    QCOMPARE(last, (QList<QVariant>{qint64(254), qint64(254), 3, qint64(0)}));
    for (SimulatedReader *reader : sim.readers())
        QCOMPARE(reader->received().size(), 1);
    QVERIFY(!scan.isRunning());
}

void TestReaderScan::stopKeepsWhatWasFound() {
    ReaderSimulator sim;
    QVERIFY(sim.addReader("127.1.61.2") && sim.addReader("127.1.61.190"));
    ReaderScan scan;
    QSignalSpy finished(&scan, &ReaderScan::finished);
    connect(&scan, &ReaderScan::readerFound, &scan, [&](const FoundReader &reader) {
        if (reader.address == QLatin1String("127.1.61.2"))
            scan.stop();
    });
    scan.start(Addresses("127.1.61.1-200"), From(ComputerAddress("127.0.60.2"), 300, 100)); // 2 s of sending
    QVERIFY(finished.wait(5000));
    QCOMPARE(AddressesOf(scan.found()), QStringList{"127.1.61.2"});
    QVERIFY(sim.reader("127.1.61.190")->received().isEmpty()); // nothing was sent after the stop
    QVERIFY2(scan.done() < 20, qPrintable(QString::number(scan.done())));
    QCOMPARE(scan.total(), qint64(200));
}

void TestReaderScan::aSecondStopEndsAtOnce() {
    ReaderScan scan;
    SendCounter sends;
    scan.setObserver(&sends);
    QSignalSpy finished(&scan, &ReaderScan::finished);
    scan.start(Addresses("127.1.61.201-210"), From(ComputerAddress("127.0.60.3"), 5000));
    QVERIFY(QTest::qWaitFor([&] { return scan.done() == 0 && scan.isRunning(); }));
    QVERIFY(QTest::qWaitFor(
        [&] { return sends.count == 10; })); // the queries are out, their replies due within 5 s
    QElapsedTimer clock;
    clock.start();
    scan.stop();
    QVERIFY(!finished.wait(100)); // the first stop waits for them
    QVERIFY(scan.isStopping());
    scan.stop();
    QVERIFY(finished.count() == 1 || finished.wait(1000));
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

void TestReaderScan::aTakenPortFailsAfterStartReturns() {
    const QString computer = ComputerAddress("127.0.60.4");
    QUdpSocket holder;
    QVERIFY(holder.bind(QHostAddress(computer), 1000, QAbstractSocket::DontShareAddress));
    ReaderScan scan;
    QSignalSpy failed(&scan, &ReaderScan::failed);
    QSignalSpy finished(&scan, &ReaderScan::finished);
    scan.start(Addresses("127.1.61.220"), From(computer));
    QCOMPARE(failed.count(), 0);
    QVERIFY(finished.wait(2000));
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.front().front().value<SocketError>().number, int(SocketErrorNumber::AddressInUse));
    QVERIFY(SocketErrorDescription(failed.front().front().value<SocketError>()).contains(computer));
}

void TestReaderScan::aLateReplyDoesNotCount() {
    ReaderSimulator sim;
    SimulatedReader *slow = sim.addReader("127.1.61.230");
    QVERIFY(slow && sim.addReader("127.1.61.231"));
    slow->setDelay(400);
    ReaderScan scan;
    QSignalSpy finished(&scan, &ReaderScan::finished);
    ScanOptions options = From(ComputerAddress("127.0.60.5"), 150);
    options.retries = 1;
    scan.start(Addresses("127.1.61.230-231"), options);
    QVERIFY(finished.wait(3000));
    QCOMPARE(AddressesOf(scan.found()), QStringList{"127.1.61.231"});
    QCOMPARE(slow->received().size(), 2); // asked again once, late again
    QCOMPARE(sim.reader("127.1.61.231")->received().size(), 1);
}

void TestReaderScan::aGatewayWithoutArpAddsNoWait() {
    // A target behind a gateway on a card that needs no ARP (loopback, tun): its reply wait is the plain
    // one, not the wait of a query whose ARP is under way.
    ReaderSimulator sim;
    SimulatedReader *reader = sim.addReader("127.1.61.245");
    QVERIFY(reader);
    reader->setDelay(400);
    ScanTargets targets;
    targets.groups = {{ComputerAddress("127.0.60.7"), QStringLiteral("lo")}};
    targets.cards = {QStringLiteral("lo")};
    targets.targets = {
        {*StrictAddress("127.1.61.245"), 0, 0, TargetRoute::ViaGateway, *StrictAddress("127.0.60.254")}};
    ReaderScan scan;
    QSignalSpy finished(&scan, &ReaderScan::finished);
    scan.start(targets, From(ComputerAddress("127.0.60.7"), 150));
    QVERIFY(finished.wait(5000));
    QCOMPARE(reader->received().size(), 1);
    QVERIFY(scan.found().isEmpty()); // its reply came after the wait
}

void TestReaderScan::nonThrowingSend() {
    ReaderSimulator sim;
    SimulatedReader *peer = sim.addReader("127.1.61.240");
    QVERIFY(peer);
    SSock socket;
    socket.Bind(1000, ComputerAddress("127.0.60.6"));
    SocketError error;
    QCOMPARE(socket.TrySendData("ping", *StrictAddress("127.1.61.240"), 1001, &error),
             SSock::SendOutcome::Sent);
    QVERIFY(QTest::qWaitFor([&] { return !peer->received().isEmpty(); }));
    QCOMPARE(socket.SendQueueBytes(), 0); // loopback holds nothing back
    // Larger than any UDP datagram: refused before anything is sent, and reported, not thrown.
    const QByteArray huge(70000, 'x');
    QCOMPARE(socket.TrySendData(huge, *StrictAddress("127.1.61.240"), 1001, &error),
             SSock::SendOutcome::Failed);
    QCOMPARE(error.number, int(SocketErrorNumber::MessageTooLong));

    const int before = socket.SendBufferSize();
    socket.SetSendBufferSize(before * 2);
#ifdef Q_OS_LINUX
    QCOMPARE(socket.SendBufferSize(), before * 4); // the kernel doubles what is asked for
#else
    QCOMPARE(socket.SendBufferSize(), before * 2); // Windows keeps what is asked for
#endif
    QSignalSpy ready(&socket, &SSock::ReadyToSend);
    socket.NotifyWhenWritable();
    QVERIFY(ready.wait(1000)); // at once: there is room
    QTest::qWait(20);
    QCOMPARE(ready.count(), 1); // once, not for as long as there is room

    socket.Close();
    QCOMPARE(socket.TrySendData("ping", *StrictAddress("127.1.61.240"), 1001, &error),
             SSock::SendOutcome::Failed);
    QCOMPARE(error.number, int(SocketErrorNumber::WrongState));
}

QTEST_GUILESS_MAIN(TestReaderScan)
#include "tst_readerscan.moc"
