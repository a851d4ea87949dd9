// The scan's pacing: from the kernel's limits to when each query goes out and when the scan ends.
#include "net/ScanPacing.h"

#include <QTest>

using namespace vrx;

namespace {

// The kernel's defaults: three ARP requests a second apart, a 200 ms reply wait.
const CardArp Defaults{};
constexpr int Timeout = 200;

} // namespace

class TestScanPacing : public QObject {
    Q_OBJECT

private slots:
    void windowLeavesRoomForTheMachine_data();
    void windowLeavesRoomForTheMachine();
    void arpTimes_data();
    void arpTimes();
    void forecast_data();
    void forecast();
    void aRefusedSendWaitsAndLearnsTheLateness();
    void answeredNeighboursKeepTheirRoom();
    void aSmallSendBufferShrinksTheWindow();
    void theWindowFollowsTheTable();
};

void TestScanPacing::windowLeavesRoomForTheMachine_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("inUse");
    QTest::addColumn<int>("window");
    QTest::newRow("empty default table") << 1024 << 0 << 960;
    QTest::newRow("a gateway and a reader known") << 1024 << 2 << 958;
    QTest::newRow("another scan holds most of it") << 1024 << 900 << 60;
    QTest::newRow("full: one at a time, the kernel says when") << 1024 << 1024 << 1;
    QTest::newRow("over full") << 1024 << 5000 << 1;
    QTest::newRow("a raised limit") << 8192 << 100 << 7580;
}

void TestScanPacing::windowLeavesRoomForTheMachine() {
    QFETCH(int, limit);
    QFETCH(int, inUse);
    QFETCH(int, window);
    QCOMPARE(NeighbourWindow(limit, inUse), window);
}

void TestScanPacing::arpTimes_data() {
    QTest::addColumn<int>("solicits");
    QTest::addColumn<int>("retransMs");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<qint64>("lateness");
    QTest::addColumn<qint64>("lifetime");
    QTest::addColumn<qint64>("wait");
    // Last request at 2 s (a thirty-second more for late timers), then the ordinary wait.
    QTest::newRow("kernel defaults") << 3 << 1000 << 200 << qint64(0) << qint64(3000) << qint64(2262);
    QTest::newRow("timers learnt later") << 3 << 1000 << 200 << qint64(150) << qint64(3000) << qint64(2300);
    QTest::newRow("learnt less than the least")
        << 3 << 1000 << 200 << qint64(30) << qint64(3000) << qint64(2262);
    QTest::newRow("one request only") << 1 << 1000 << 200 << qint64(80) << qint64(1000) << qint64(200);
    QTest::newRow("faster ARP, longer wait") << 5 << 160 << 1000 << qint64(0) << qint64(800) << qint64(1660);
}

void TestScanPacing::arpTimes() {
    QFETCH(int, solicits);
    QFETCH(int, retransMs);
    QFETCH(int, timeoutMs);
    QFETCH(qint64, lateness);
    const CardArp arp{true, solicits, retransMs};
    QTEST(UnresolvedLifetimeMs(arp), "lifetime");
    QTEST(OnLinkWaitMs(arp, timeoutMs, lateness), "wait");
}

void TestScanPacing::forecast_data() {
    QTest::addColumn<int>("window");
    QTest::addColumn<int>("rate");
    QTest::addColumn<qint64>("resolving");
    QTest::addColumn<qint64>("other");
    QTest::addColumn<qint64>("lastSend");
    QTest::addColumn<qint64>("end");
    const qint64 wait = OnLinkWaitMs(Defaults, Timeout); // 2262
    // No ARP: bursts of 32 a millisecond apart, then one wait.
    QTest::newRow("loopback /24") << 960 << 0 << qint64(0) << qint64(254) << qint64(7) << qint64(207);
    QTest::newRow("routed /16") << 960 << 0 << qint64(0) << qint64(65534) << qint64(2047) << qint64(2247);
    QTest::newRow("rate caps routed")
        << 960 << 100 << qint64(0) << qint64(100) << qint64(990) << qint64(1190);
    // ARP: a window's worth per entry lifetime, the last batch with its full wait.
    QTest::newRow("one window") << 958 << 0 << qint64(958) << qint64(0) << qint64(29) << 29 + wait;
    QTest::newRow("directly attached /20")
        << 958 << 0 << qint64(4094) << qint64(0) << qint64(12000 + 8) << 12008 + wait;
    QTest::newRow("directly attached /16")
        << 958 << 0 << qint64(65534) << qint64(0) << qint64(68 * 3000 + 12) << 68 * 3000 + 12 + wait;
    // Queries without ARP fill the time the window is full.
    QTest::newRow("mixed") << 958 << 0 << qint64(1000) << qint64(500) << qint64(3001) << 3001 + wait;
    QTest::newRow("rate slower than the table")
        << 958 << 100 << qint64(300) << qint64(0) << qint64(2990) << 2990 + wait;
}

void TestScanPacing::forecast() {
    QFETCH(int, window);
    QFETCH(int, rate);
    QFETCH(qint64, resolving);
    QFETCH(qint64, other);
    const ScanForecast forecast =
        Forecast(SendPacer(window, rate), 0, resolving, other, UnresolvedLifetimeMs(Defaults),
                 OnLinkWaitMs(Defaults, Timeout), Timeout);
    QTEST(forecast.lastSendMs, "lastSend");
    QTEST(forecast.endMs, "end");
}

void TestScanPacing::aRefusedSendWaitsAndLearnsTheLateness() {
    SendPacer pacer(2, 0);
    pacer.sent(true, 0, 1000);
    pacer.sent(true, 0, 1000);
    QCOMPARE(pacer.earliest(true, 10), qint64(1000));
    QCOMPARE(pacer.earliest(false, 10), qint64(10)); // other queries are not held up
    // At 1000 the kernel has not yet given the entries up: it refuses, and they count as 4 ms older.
    pacer.tableFull(1000, 1000);
    QCOMPARE(pacer.earliest(true, 1000), qint64(1004));
    pacer.sent(true, 1004, 1000);
    QCOMPARE(pacer.earliest(true, 1004), qint64(1004)); // the other entry is gone by now
    pacer.sent(true, 1004, 1000);
    QCOMPARE(pacer.earliest(true, 1004), qint64(2008)); // learnt: freed 4 ms late
    for (int i = 0; i < 100; ++i)
        pacer.tableFull(2008, 1000);
    QCOMPARE(pacer.lateness(), qint64(62)); // never more than a sixteenth
}

void TestScanPacing::answeredNeighboursKeepTheirRoom() {
    SendPacer pacer(2, 0);
    pacer.sent(true, 0, 1000);
    pacer.keepEntry(); // its reader answered: the kernel keeps its MAC
    pacer.sent(true, 0, 1000);
    QCOMPARE(pacer.earliest(true, 1000), qint64(1000));
    pacer.sent(true, 1000, 1000);
    QCOMPARE(pacer.unresolved(), 2);
    QCOMPARE(pacer.earliest(true, 1000), qint64(2000));
    pacer.keepEntry();
    QCOMPARE(pacer.earliest(true, 5000), std::numeric_limits<qint64>::max()); // all room is kept
}

void TestScanPacing::aSmallSendBufferShrinksTheWindow() {
    SendPacer pacer(960, 0);
    pacer.limitWindow(255);
    QCOMPARE(pacer.window(), 255);
    pacer.limitWindow(-3);
    QCOMPARE(pacer.window(), 1);
    pacer.limitWindow(500); // never grows
    QCOMPARE(pacer.window(), 1);
}

void TestScanPacing::theWindowFollowsTheTable() {
    SendPacer pacer(2, 0);
    for (int i = 0; i < 2; ++i)
        pacer.sent(true, 0, 1000);
    QCOMPARE(pacer.earliest(true, 10), qint64(1000));
    pacer.setTableWindow(3); // another program's entries went
    QCOMPARE(pacer.earliest(true, 10), qint64(10));
    pacer.sent(true, 10, 1000);
    pacer.setTableWindow(1); // they came back: all three must go first
    QCOMPARE(pacer.earliest(true, 20), qint64(1010));
    pacer.limitWindow(1);
    pacer.setTableWindow(500); // the send buffer still limits
    QCOMPARE(pacer.window(), 1);
}

QTEST_GUILESS_MAIN(TestScanPacing)
#include "tst_scanpacing.moc"
