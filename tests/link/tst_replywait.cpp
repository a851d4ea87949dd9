#include "link/ExchangeState.h"
#include "link/ReplyWait.h"
#include "link/SSock.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <sys/resource.h>

using namespace vrx;

namespace {

// CPU time (user + system) of the calling thread, in milliseconds.
double ThreadCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

struct Window : QObject {
    ExchangeState state;
};

} // namespace

class TestReplyWait : public QObject {
    Q_OBJECT

private slots:
    void tickCountIsMonotonicMilliseconds();
    void returnsAtOnceWhenStatusIsAlreadySet();
    void endsEarlyWhenStatusIsSet();
    void endsAfterMoreThan200Ms();
    void startTimeLongPastEndsAtOnce();
    void classifiedDatagramEndsTheWait();
    void windowEventsRunDuringTheWait();
    void ownerDestroyedDuringTheWait();
    void waitWithoutReplyCostsAlmostNoCpu();
};

void TestReplyWait::tickCountIsMonotonicMilliseconds() {
    const qint64 first = TickCount();
    QElapsedTimer timer;
    timer.start();
    QTest::qWait(30);
    const qint64 elapsed = TickCount() - first;
    QVERIFY(elapsed >= 29);
    QVERIFY(elapsed <= timer.elapsed() + 2);
}

void TestReplyWait::returnsAtOnceWhenStatusIsAlreadySet() {
    const qint16 status = Status::KeyEchoDiffers;
    QCOMPARE(WaitForReply(TickCount(), status), WaitOutcome::StatusSet);
}

void TestReplyWait::endsEarlyWhenStatusIsSet() {
    qint16 status = 0;
    QTimer::singleShot(40, this, [&] { status = Status::ConfigureEchoed; });
    const qint64 start = TickCount();
    QCOMPARE(WaitForReply(start, status), WaitOutcome::StatusSet);
    const qint64 elapsed = TickCount() - start;
    QVERIFY2(elapsed >= 39 && elapsed < 150, qPrintable(QString::number(elapsed)));
}

void TestReplyWait::endsAfterMoreThan200Ms() {
    const qint16 status = 0;
    const qint64 start = TickCount();
    QCOMPARE(WaitForReply(start, status), WaitOutcome::TimedOut);
    const qint64 elapsed = TickCount() - start;
    QVERIFY2(elapsed > ReplyWaitMs && elapsed < ReplyWaitMs + 100, qPrintable(QString::number(elapsed)));
}

void TestReplyWait::startTimeLongPastEndsAtOnce() {
    const qint16 status = 0;
    const qint64 before = TickCount();
    QCOMPARE(WaitForReply(before - 500, status), WaitOutcome::TimedOut);
    QVERIFY(TickCount() - before < 50);
}

void TestReplyWait::classifiedDatagramEndsTheWait() {
    const QString computer = QStringLiteral("127.0.21.1");
    const QString reader = QStringLiteral("127.0.21.2");
    QUdpSocket readerSocket;
    QVERIFY(readerSocket.bind(QHostAddress(reader), 1001));
    // The reader answers 60 ms after it hears the query.
    connect(&readerSocket, &QUdpSocket::readyRead, this, [&] {
        const QNetworkDatagram query = readerSocket.receiveDatagram();
        QTimer::singleShot(60, this, [&readerSocket, query] {
            readerSocket.writeDatagram(QByteArray(41, '\x11'), query.senderAddress(),
                                       quint16(query.senderPort()));
        });
    });

    Window window;
    window.state.ReaderAddress = reader;
    window.state.ReadMode = true;
    SSock sock;
    connect(&sock, &SSock::DataArrival, &window, [&](const QByteArray &datagram, const QString &sender) {
        window.state = ClassifyDatagram(datagram, sender, window.state);
    });
    sock.setRemoteHost(reader);
    sock.setRemotePort(1001);
    sock.Bind(1000, computer);

    const qint64 start = TickCount();
    sock.SendData(QByteArray::fromHex("E6E8E0E9E3E9E3E6"));
    QCOMPARE(WaitForReply(start, window.state.ExchangeStatus, &window), WaitOutcome::StatusSet);
    const qint64 elapsed = TickCount() - start;
    QCOMPARE(window.state.ExchangeStatus, Status::ParametersRead);
    QCOMPARE(window.state.ReceiveBuffer, QByteArray(41, '\x11'));
    QVERIFY2(elapsed >= 59 && elapsed < 180, qPrintable(QString::number(elapsed)));
}

void TestReplyWait::windowEventsRunDuringTheWait() {
    int ticks = 0;
    QTimer clicks;
    connect(&clicks, &QTimer::timeout, this, [&] { ++ticks; });
    clicks.start(20);
    const qint16 status = 0;
    QCOMPARE(WaitForReply(TickCount(), status), WaitOutcome::TimedOut);
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
}

void TestReplyWait::ownerDestroyedDuringTheWait() {
    auto *window = new Window;
    QTimer::singleShot(30, this, [&] {
        delete window;
        window = nullptr;
    });
    const qint64 start = TickCount();
    QCOMPARE(WaitForReply(start, window->state.ExchangeStatus, window), WaitOutcome::OwnerDestroyed);
    QVERIFY(window == nullptr);
    QVERIFY(TickCount() - start < 150);
}

void TestReplyWait::waitWithoutReplyCostsAlmostNoCpu() {
    const qint16 status = 0;
    WaitForReply(TickCount() - 500, status); // first use sets up the timer machinery
    const double cpuBefore = ThreadCpuMs();
    const qint64 start = TickCount();
    QCOMPARE(WaitForReply(start, status), WaitOutcome::TimedOut);
    const double cpu = ThreadCpuMs() - cpuBefore;
    qInfo("a %lld ms wait without a reply cost %.3f ms of CPU", TickCount() - start, cpu);
    // A polling loop would cost about 200 ms; the goal is at most 2 ms, the margin is for busy machines.
    QVERIFY2(cpu <= 10.0, qPrintable(QString::number(cpu)));
}

QTEST_GUILESS_MAIN(TestReplyWait)
#include "tst_replywait.moc"
