// Sorting a scan's addresses by the socket and card that reach them. The kernel's routes are stood in
// for by a table, this computer's cards by a list.
#include "net/AddressRange.h"
#include "net/ScanTargets.h"

#include <QTest>

using namespace vrx;

namespace {

quint32 A(const char *text) {
    return *StrictAddress(QString::fromLatin1(text));
}

LocalCard Card(const char *name, const char *address, int prefix, bool loopback = false) {
    LocalCard card;
    card.name = QString::fromLatin1(name);
    card.address = A(address);
    card.prefixLength = prefix;
    card.broadcast = prefix < 31 ? (card.address | ~card.netmask()) : 0;
    card.loopback = loopback;
    return card;
}

// lo, eth0 on a /20, eth1 on a /24 with a router to 198.18.48.0/24 behind it.
const QList<LocalCard> Cards{Card("lo", "127.0.0.1", 8, true), Card("eth0", "198.18.16.2", 20),
                             Card("eth1", "198.18.32.2", 24)};

int g_lookups = 0;

TargetRoute Routes(quint32 address) {
    ++g_lookups;
    if ((address & 0xFFFFFF00u) == A("198.18.48.0"))
        return {TargetRoute::ViaGateway, A("198.18.32.2"), A("198.18.32.1"), QStringLiteral("eth1")};
    return {}; // unreachable
}

// "group/card/kind" for each target, in address order.
QStringList Describe(const ScanTargets &targets) {
    static const char *kinds[] = {"unreachable", "local", "on-link", "via gateway"};
    QStringList lines;
    for (const ScanTarget &target : targets.targets)
        lines.append(QStringLiteral("%1 from %2 by %3 %4")
                         .arg(AddressText(target.address), targets.groups[target.group].local,
                              targets.cards[target.card], QLatin1String(kinds[target.kind])));
    return lines;
}

} // namespace

class TestScanTargets : public QObject {
    Q_OBJECT

private slots:
    void eachTargetFromItsCard_data();
    void eachTargetFromItsCard();
    void theKernelIsAskedOnlyOffTheCards();
};

void TestScanTargets::eachTargetFromItsCard_data() {
    QTest::addColumn<QStringList>("ranges");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QStringList>("unreachable");
    QTest::addColumn<QStringList>("broadcasts");

    QTest::newRow("loopback") << QStringList{"127.1.5.1-2"} << QString()
                              << QStringList{"127.1.5.1 from 127.0.0.1 by lo local",
                                             "127.1.5.2 from 127.0.0.1 by lo local"}
                              << QStringList{"127.0.0.1 lo"} << QStringList() << QStringList();
    QTest::newRow("two cards and a router")
        << QStringList{"198.18.16.9", "198.18.32.7", "198.18.48.5"} << QString()
        << QStringList{"198.18.16.9 from 198.18.16.2 by eth0 on-link",
                       "198.18.32.7 from 198.18.32.2 by eth1 on-link",
                       "198.18.48.5 from 198.18.32.2 by eth1 via gateway"}
        << QStringList{"198.18.16.2 eth0", "198.18.32.2 eth1"} << QStringList() << QStringList();
    QTest::newRow("--local binds one address for all")
        << QStringList{"198.18.16.9", "198.18.48.5"} << QStringLiteral("198.18.32.2")
        << QStringList{"198.18.16.9 from 198.18.32.2 by eth0 on-link",
                       "198.18.48.5 from 198.18.32.2 by eth1 via gateway"}
        << QStringList{"198.18.32.2 eth1"} << QStringList() << QStringList();
    QTest::newRow("this computer's own address")
        << QStringList{"198.18.16.2"} << QString() << QStringList{"198.18.16.2 from 198.18.16.2 by lo local"}
        << QStringList{"198.18.16.2 eth0"} << QStringList() << QStringList();
    QTest::newRow("a card's broadcast address is left out")
        << QStringList{"198.18.31.254-198.18.32.0"} << QString()
        << QStringList{"198.18.31.254 from 198.18.16.2 by eth0 on-link",
                       "198.18.32.0 from 198.18.32.2 by eth1 on-link"}
        << QStringList{"198.18.16.2 eth0", "198.18.32.2 eth1"} << QStringList()
        << QStringList{"198.18.31.255"};
    QTest::newRow("no card and no route")
        << QStringList{"10.0.0.1-2", "198.18.16.5"} << QString()
        << QStringList{"198.18.16.5 from 198.18.16.2 by eth0 on-link"} << QStringList{"198.18.16.2 eth0"}
        << QStringList{"10.0.0.1", "10.0.0.2"} << QStringList();
    QTest::newRow("--local that no card holds")
        << QStringList{"198.18.48.1"} << QStringLiteral("192.0.2.1")
        << QStringList{"198.18.48.1 from 192.0.2.1 by eth1 via gateway"} << QStringList{"192.0.2.1 "}
        << QStringList() << QStringList();
}

void TestScanTargets::eachTargetFromItsCard() {
    QFETCH(QStringList, ranges);
    QFETCH(QString, local);
    const ScanTargets targets = RouteScanTargets(ExpandRanges(ranges).addresses, local, Cards, Routes);
    QTEST(Describe(targets), "expected");
    QStringList groups;
    for (const ScanGroup &group : targets.groups)
        groups.append(group.local + u' ' + group.cardName);
    QTEST(groups, "groups");
    QStringList unreached;
    for (quint32 address : targets.unreachable)
        unreached.append(AddressText(address));
    QTEST(unreached, "unreachable");
    QStringList broadcasts;
    for (quint32 address : targets.broadcasts)
        broadcasts.append(AddressText(address));
    QTEST(broadcasts, "broadcasts");
    QCOMPARE(targets.ok(), unreached.isEmpty());
}

void TestScanTargets::theKernelIsAskedOnlyOffTheCards() {
    g_lookups = 0;
    const ScanTargets targets = RouteScanTargets(ExpandRanges({"198.18.16.0/20", "198.18.48.0/24"}).addresses,
                                                 QString(), Cards, Routes);
    QCOMPARE(int(targets.targets.size()), 4094 + 254);
    QCOMPARE(g_lookups, 254);
}

QTEST_GUILESS_MAIN(TestScanTargets)
#include "tst_scantargets.moc"
