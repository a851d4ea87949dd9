// The many-reader engine's questions to the operating system, on whichever system the test runs: how a
// target is reached, what the neighbour table says, and the commands the reach advice names.
#include "link/LocalCards.h"
#include "net/NeighbourTable.h"
#include "net/ReachAdvice.h"
#include "net/TargetRoute.h"

#include <QTest>

using namespace vrx;

class TestSystemRoutes : public QObject {
    Q_OBJECT

private slots:
    void loopbackIsLocal_data();
    void loopbackIsLocal();
    void ownAddressIsLocal();
    void loopbackNeedsNoArp();
    void reachAdvice();
};

void TestSystemRoutes::loopbackIsLocal_data() {
    QTest::addColumn<quint32>("target");
    QTest::newRow("127.0.0.1") << quint32(0x7f000001);
    QTest::newRow("127.0.0.77") << quint32(0x7f00004d);
    QTest::newRow("127.1.5.9") << quint32(0x7f010509);
}

// A reader on loopback is reached from 127.0.0.1 on the loopback card, with nothing to resolve.
void TestSystemRoutes::loopbackIsLocal() {
    QFETCH(quint32, target);
    RouteLookup routes;
    const TargetRoute route = routes.lookUp(target);
    QCOMPARE(int(route.kind), int(TargetRoute::Local));
    QCOMPARE(route.source, quint32(0x7f000001));
    QVERIFY(!route.card.isEmpty());
    NeighbourTable table;
    QVERIFY(table.settled(target, route.card)); // no entry: nothing waits for it
}

void TestSystemRoutes::ownAddressIsLocal() {
    const QList<LocalCard> cards = LocalCards();
    QVERIFY(!cards.isEmpty());
    RouteLookup routes;
    for (const LocalCard &card : cards) {
        const TargetRoute route = routes.lookUp(card.address);
        QCOMPARE(int(route.kind), int(TargetRoute::Local));
        QCOMPARE(route.source, card.loopback ? quint32(0x7f000001) : card.address);
    }
}

void TestSystemRoutes::loopbackNeedsNoArp() {
    for (const LocalCard &card : LocalCards())
        if (card.loopback)
            QVERIFY2(!ReadCardArp(card.name).arp, qPrintable(card.name));
}

// The commands name the card, the address and its subnet in the system's own way; the removal undoes
// exactly the addition.
void TestSystemRoutes::reachAdvice() {
    ReachAdvice advice;
    advice.card = QStringLiteral("eth0");
    advice.address = 0xc0a8006e; // 192.168.0.110
    advice.prefixLength = 24;
#ifdef Q_OS_WIN
    QCOMPARE(advice.addCommand(),
             QStringLiteral("netsh interface ipv4 add address \"eth0\" 192.168.0.110 255.255.255.0"));
    QCOMPARE(advice.removeCommand(),
             QStringLiteral("netsh interface ipv4 delete address \"eth0\" 192.168.0.110"));
#else
    QCOMPARE(advice.addCommand(), QStringLiteral("sudo ip addr add 192.168.0.110/24 dev eth0"));
    QCOMPARE(advice.removeCommand(), QStringLiteral("sudo ip addr del 192.168.0.110/24 dev eth0"));
#endif
}

QTEST_GUILESS_MAIN(TestSystemRoutes)
#include "tst_systemroutes.moc"
