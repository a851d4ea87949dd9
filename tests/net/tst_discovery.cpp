// The pure parts of discovery: which cards broadcast, how a reader outside its card's subnet is
// reached, and the order and duplicate marks of what was found.
#include "net/AddressRange.h"
#include "net/DiscoveryCards.h"
#include "net/FoundReaders.h"
#include "net/ReachAdvice.h"

#include <QTest>

using namespace vrx;

namespace {

quint32 Address(const char *text) {
    return StrictAddress(QLatin1String(text)).value();
}

LocalCard Card(const char *name, const char *address, int prefixLength, const char *broadcast,
               bool loopback = false) {
    LocalCard card;
    card.name = QLatin1String(name);
    card.address = Address(address);
    card.prefixLength = prefixLength;
    card.broadcast = *broadcast ? Address(broadcast) : 0;
    card.loopback = loopback;
    return card;
}

// A computer with loopback, a card with two addresses, a point-to-point tunnel and a second card.
const QList<LocalCard> &Computer() {
    // Loopback never broadcasts, even where it is given a broadcast address.
    static const QList<LocalCard> cards{
        Card("lo", "127.0.0.1", 8, "127.255.255.255", true), Card("eth0", "198.18.0.1", 24, "198.18.0.255"),
        Card("eth0", "198.18.5.1", 24, "198.18.5.255"),      Card("wg0", "198.18.9.1", 32, ""),
        Card("tun0", "198.18.10.1", 32, "198.18.10.1"),      Card("eth1", "198.18.16.1", 20, "198.18.31.255"),
    };
    return cards;
}

QStringList Addresses(const QList<LocalCard> &cards) {
    QStringList addresses;
    for (const LocalCard &card : cards)
        addresses.append(card.addressText());
    return addresses;
}

ReaderSettings Settings(const char *mask, const char *gateway, const char *server) {
    ReaderSettings settings;
    const auto bytes = [](const char *text) {
        const quint32 value = Address(text);
        return AddressBytes{quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)};
    };
    settings.subnetMask = bytes(mask);
    settings.defaultGateway = bytes(gateway);
    settings.serverIp = bytes(server);
    return settings;
}

FoundReader Found(const char *address, const char *card, quint8 macLast) {
    FoundReader reader;
    reader.address = QLatin1String(address);
    reader.card = QLatin1String(card);
    reader.settings.readerMac = {0x00, 0x14, 0xC6, 0x12, 0x00, macLast};
    return reader;
}

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT

private slots:
    void cardChoice_data();
    void cardChoice();
    void reachAdvice_data();
    void reachAdvice();
    void reachAdviceOnlyOffEverySubnet_data();
    void reachAdviceOnlyOffEverySubnet();
    void addressOrder();
    void sharedMacs();
};

void TestDiscovery::cardChoice_data() {
    QTest::addColumn<QString>("interfaceName");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("problem");

    const auto none = int(CardChoiceProblem::None);
    QTest::newRow("every card that can broadcast")
        << ""
        << "" << QStringList{"198.18.0.1", "198.18.5.1", "198.18.16.1"} << none;
    QTest::newRow("a card with two addresses") << "eth0"
                                               << "" << QStringList{"198.18.0.1", "198.18.5.1"} << none;
    QTest::newRow("one card") << "eth1"
                              << "" << QStringList{"198.18.16.1"} << none;
    QTest::newRow("one address of a card") << ""
                                           << "198.18.5.1" << QStringList{"198.18.5.1"} << none;
    QTest::newRow("a name nobody has") << "eth9"
                                       << "" << QStringList{} << int(CardChoiceProblem::NoSuchInterface);
    QTest::newRow("names are exact") << "eth"
                                     << "" << QStringList{} << int(CardChoiceProblem::NoSuchInterface);
    QTest::newRow("loopback") << "lo"
                              << "" << QStringList{} << int(CardChoiceProblem::InterfaceWithoutBroadcast);
    QTest::newRow("a /32 without broadcast")
        << "wg0"
        << "" << QStringList{} << int(CardChoiceProblem::InterfaceWithoutBroadcast);
    QTest::newRow("a broadcast that is the card's own address")
        << "tun0"
        << "" << QStringList{} << int(CardChoiceProblem::InterfaceWithoutBroadcast);
    QTest::newRow("an address of another computer")
        << ""
        << "198.18.0.2" << QStringList{} << int(CardChoiceProblem::NotLocalAddress);
    QTest::newRow("not an address") << ""
                                    << "eth0" << QStringList{} << int(CardChoiceProblem::NotLocalAddress);
    QTest::newRow("the loopback address")
        << ""
        << "127.0.0.1" << QStringList{} << int(CardChoiceProblem::LocalWithoutBroadcast);
    QTest::newRow("both") << "eth0"
                          << "198.18.0.1" << QStringList{} << int(CardChoiceProblem::BothGiven);
}

void TestDiscovery::cardChoice() {
    QFETCH(QString, interfaceName);
    QFETCH(QString, local);
    QFETCH(QStringList, expected);
    QFETCH(int, problem);

    const CardChoice choice = ChooseDiscoveryCards(Computer(), interfaceName, local);
    QCOMPARE(Addresses(choice.cards), expected);
    QCOMPARE(int(choice.problem), problem);
}

void TestDiscovery::reachAdvice_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("subnetAddress"); // for the card, with the prefix length

    // A new reader at its factory address expects its server at 192.168.0.110: the card becomes it.
    QTest::newRow("the server it expects") << "192.168.0.101"
                                           << "255.255.255.0"
                                           << "192.168.0.1"
                                           << "192.168.0.110"
                                           << "192.168.0.110/24";
    QTest::newRow("a server elsewhere: the subnet's last host") << "198.18.99.5"
                                                                << "255.255.255.0"
                                                                << "198.18.99.1"
                                                                << "198.18.200.7"
                                                                << "198.18.99.254/24";
    QTest::newRow("the last host is the gateway") << "198.18.99.5"
                                                  << "255.255.255.0"
                                                  << "198.18.99.254"
                                                  << "0.0.0.0"
                                                  << "198.18.99.253/24";
    QTest::newRow("the last host is the reader") << "198.18.99.254"
                                                 << "255.255.255.0"
                                                 << "198.18.99.1"
                                                 << "198.18.99.254"
                                                 << "198.18.99.253/24";
    QTest::newRow("the server is the subnet's broadcast") << "198.18.99.5"
                                                          << "255.255.255.0"
                                                          << "198.18.99.1"
                                                          << "198.18.99.255"
                                                          << "198.18.99.254/24";
    QTest::newRow("a wide mask") << "198.18.99.5"
                                 << "255.255.0.0"
                                 << "198.18.0.1"
                                 << "198.18.20.20"
                                 << "198.18.20.20/16";
    QTest::newRow("a garbled mask: a /24") << "198.18.99.5"
                                           << "255.0.255.0"
                                           << "198.18.99.1"
                                           << "0.0.0.0"
                                           << "198.18.99.254/24";
    QTest::newRow("an empty mask: a /24") << "198.18.99.5"
                                          << "0.0.0.0"
                                          << "0.0.0.0"
                                          << "0.0.0.0"
                                          << "198.18.99.254/24";
    QTest::newRow("a /32 mask: a /24") << "198.18.99.5"
                                       << "255.255.255.255"
                                       << "198.18.99.1"
                                       << "0.0.0.0"
                                       << "198.18.99.254/24";
    QTest::newRow("a /30 with a free host") << "198.18.99.5"
                                            << "255.255.255.252"
                                            << "0.0.0.0"
                                            << "0.0.0.0"
                                            << "198.18.99.6/30";
    QTest::newRow("a /30 full with reader and gateway: a /24") << "198.18.99.5"
                                                               << "255.255.255.252"
                                                               << "198.18.99.6"
                                                               << "0.0.0.0"
                                                               << "198.18.99.254/24";
}

void TestDiscovery::reachAdvice() {
    QFETCH(QString, reader);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(QString, server);
    QFETCH(QString, subnetAddress);

    // The address is the choice made here; the system's commands that carry it are each system's own
    // (tst_systemroutes).
    const ReachAdvice advice =
        ReachAdviceFor(QStringLiteral("eth0"), Address(qPrintable(reader)),
                       Settings(qPrintable(mask), qPrintable(gateway), qPrintable(server)));
    QCOMPARE(advice.card, QStringLiteral("eth0"));
    QCOMPARE(QStringLiteral("%1/%2").arg(advice.addressText()).arg(advice.prefixLength), subnetAddress);
}

void TestDiscovery::reachAdviceOnlyOffEverySubnet_data() {
    QTest::addColumn<QString>("reader");
    QTest::addColumn<bool>("needed");

    QTest::newRow("on the card's subnet") << "198.18.0.77" << false;
    QTest::newRow("on the card's second address's subnet") << "198.18.5.77" << false;
    QTest::newRow("on another card's subnet") << "198.18.20.3" << false;
    QTest::newRow("outside every subnet") << "198.18.99.5" << true;
    QTest::newRow("in loopback's subnet, on no card") << "127.0.0.9" << true;
}

void TestDiscovery::reachAdviceOnlyOffEverySubnet() {
    QFETCH(QString, reader);
    QFETCH(bool, needed);
    QCOMPARE(NeedsReachAdvice(Computer(), Address(qPrintable(reader))), needed);
}

void TestDiscovery::addressOrder() {
    QList<FoundReader> readers{Found("198.18.0.10", "eth0", 1), Found("198.18.0.9", "eth1", 2),
                               Found("198.18.0.9", "eth0", 2), Found("10.0.0.200", "eth1", 3),
                               Found("198.18.0.10", "eth0", 0)};
    SortFoundReaders(readers);
    QStringList order;
    for (const FoundReader &reader : readers)
        order.append(reader.address + u' ' + reader.card + u' ' +
                     QString::number(reader.settings.readerMac[5]));
    QCOMPARE(order, (QStringList{"10.0.0.200 eth1 3", "198.18.0.9 eth0 2", "198.18.0.9 eth1 2",
                                 "198.18.0.10 eth0 0", "198.18.0.10 eth0 1"}));
}

void TestDiscovery::sharedMacs() {
    // One reader heard on two cards; two readers sharing a MAC; two readers sharing an address.
    QList<FoundReader> readers{Found("198.18.0.9", "eth0", 1),  Found("198.18.0.9", "eth1", 1),
                               Found("198.18.0.20", "eth0", 7), Found("198.18.0.30", "eth0", 7),
                               Found("198.18.0.40", "eth0", 8), Found("198.18.0.40", "eth0", 9),
                               Found("198.18.0.50", "eth0", 7)};
    MarkSharedMacs(readers);
    QCOMPARE(readers[0].sameMacAt, QStringList{});
    QCOMPARE(readers[1].sameMacAt, QStringList{});
    QCOMPARE(readers[2].sameMacAt, (QStringList{"198.18.0.30", "198.18.0.50"}));
    QCOMPARE(readers[3].sameMacAt, (QStringList{"198.18.0.20", "198.18.0.50"}));
    QCOMPARE(readers[4].sameMacAt, QStringList{});
    QCOMPARE(readers[5].sameMacAt, QStringList{});
    QCOMPARE(readers[6].sameMacAt, (QStringList{"198.18.0.20", "198.18.0.30"}));
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
