// vrxctl discover before anything is sent (its options and their mistakes), and the way found readers
// are listed with their cards. Nothing here sends: broadcasting is tried on the emulated LAN.
#include "Console.h"
#include "ReaderListing.h"
#include "Vrxctl.h"

#include "config/ParameterBlock.h"
#include "net/CsvText.h"
#include "net/ReachAdvice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QTest>

using namespace vrxctl;

namespace {

struct Result {
    int code = -1;
    QString out;
    QString err;
};

Result Run(const QStringList &arguments) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    Console console{outStream, errStream};
    const int code = RunVrxctl(arguments, console);
    return {code, out, err};
}

// The system's commands that give eth0 the address 198.18.99.110/24 and take it away again.
QString AddCommand() {
    return vrx::ReachAdvice{QStringLiteral("eth0"), 0xc612636e, 24}.addCommand();
}
QString RemoveCommand() {
    return vrx::ReachAdvice{QStringLiteral("eth0"), 0xc612636e, 24}.removeCommand();
}

// The loopback card as the system names it: "lo" on Linux, another name on Windows.
QString LoopbackCard() {
    for (const QNetworkInterface &card : QNetworkInterface::allInterfaces())
        if (card.flags().testFlag(QNetworkInterface::IsLoopBack))
            return card.name();
    return QStringLiteral("lo");
}

vrx::FoundReader Reader(const char *address, const char *card, const char *cardAddress, quint8 macLast) {
    vrx::FoundReader reader;
    reader.address = QLatin1String(address);
    reader.card = QLatin1String(card);
    reader.cardAddress = QLatin1String(cardAddress);
    reader.discovered = true;
    reader.settings.readerIp = vrx::ParseIpAddress(reader.address).bytes;
    reader.settings.subnetMask = {255, 255, 255, 0};
    reader.settings.serverIp = {198, 18, 99, 110};
    reader.settings.readerMac = {0x00, 0x14, 0xC6, 0x12, 0x00, macLast};
    return reader;
}

// Two readers on eth0, one of them outside its subnet, and one on eth1 sharing a MAC with the first.
QList<vrx::FoundReader> Found() {
    QList<vrx::FoundReader> readers{Reader("198.18.16.33", "eth0", "198.18.16.2", 0x21),
                                    Reader("198.18.32.7", "eth1", "198.18.32.2", 0x21),
                                    Reader("198.18.99.5", "eth0", "198.18.16.2", 0x05)};
    readers[0].sameMacAt = {QStringLiteral("198.18.32.7")};
    readers[1].sameMacAt = {QStringLiteral("198.18.16.33")};
    readers[2].reachNote = AddCommand();
    return readers;
}

QString Printed(ListingFormat format) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    Console console{outStream, errStream};
    PrintReaders(console, Found(), format, {.interface = true, .reach = true});
    outStream.flush();
    return out;
}

} // namespace

class TestVrxctlDiscover : public QObject {
    Q_OBJECT

private slots:
    void mistakesSendNothing_data();
    void mistakesSendNothing();
    void help();
    void tableHasTheCardAndTheNote();
    void jsonItemsHaveTheInterfaceBesideTheAddress();
    void csvHasTheInterfaceColumn();
    void readersSharingAnAddressAreWarnedOf();
};

void TestVrxctlDiscover::mistakesSendNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("an address") << QStringList{"198.18.0.7"} << "discover takes no address";
    QTest::newRow("json and csv") << QStringList{"--json", "--csv"} << "give --json or --csv, not both";
    QTest::newRow("card and address") << QStringList{"--interface", "eth0", "--local", "198.18.0.1"}
                                      << "give --interface or --local, not both";
    QTest::newRow("a card that is not there")
        << QStringList{"--interface", "vrxnosuch0"} << "--interface vrxnosuch0: this computer has no card";
    QTest::newRow("loopback")
        << QStringList{"--interface", LoopbackCard()}
        << QStringLiteral("--interface %1: the card cannot broadcast").arg(LoopbackCard());
    QTest::newRow("an address of another computer")
        << QStringList{"--local", "198.18.250.250"}
        << "--local 198.18.250.250 is not an address of this computer";
    QTest::newRow("the loopback address")
        << QStringList{"--local", "127.0.0.1"} << "--local 127.0.0.1: its card cannot broadcast";
    QTest::newRow("a bad timeout") << QStringList{"--timeout", "0"} << "--timeout must be a number";
}

void TestVrxctlDiscover::mistakesSendNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);

    const Result result = Run(QStringList{"discover"} + arguments);
    QCOMPARE(result.code, 2);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    QCOMPARE(result.out, QString());
    if (message.contains(QLatin1String("this computer")) ||
        message.contains(QLatin1String("cannot broadcast")))
        QVERIFY2(result.err.contains(LoopbackCard() + QLatin1String(" 127.0.0.1/8")),
                 qPrintable(result.err)); // its cards
}

void TestVrxctlDiscover::help() {
    const Result result = Run({"discover", "--help"});
    QCOMPARE(result.code, 0);
    for (const char *text : {"--interface <NAME>", "255.255.255.255", "--local <ADDR>", "--timeout <MS>",
                             "--retries <N>", "--json", "--csv", "Exit codes:"})
        QVERIFY2(result.out.contains(QLatin1String(text)), text);
    QVERIFY(Run({"--help"}).out.contains(QLatin1String("  discover ")));
}

void TestVrxctlDiscover::tableHasTheCardAndTheNote() {
    const QStringList lines = Printed(ListingFormat::Table).split(u'\n');
    QVERIFY2(lines[0].startsWith(QLatin1String("ADDRESS          INTERFACE  MAC  ")), qPrintable(lines[0]));
    QVERIFY2(
        lines[1].startsWith(QLatin1String("198.18.16.33     eth0       00-14-C6-12-00-21  198.18.16.33")),
        qPrintable(lines[1]));
    QVERIFY(lines[1].endsWith(QLatin1String("DUPLICATE MAC (also at 198.18.32.7)")));
    QVERIFY(lines[2].startsWith(QLatin1String("198.18.32.7      eth1       ")));
    QVERIFY(lines[3].startsWith(QLatin1String("198.18.99.5      eth0       ")));
    QCOMPARE(lines[4],
             QStringLiteral("  note: 198.18.99.5 answered from outside the subnet of eth0 (198.18.16.2). "
                            "To reach it, give eth0 an address in its subnet for this session: %1 "
                            "(and take it away afterwards: %2)")
                 .arg(AddCommand(), RemoveCommand()));
    QCOMPARE(lines.size(), 6); // and the end of the last line
}

void TestVrxctlDiscover::jsonItemsHaveTheInterfaceBesideTheAddress() {
    const QString text = Printed(ListingFormat::Json);
    QVERIFY(
        text.contains(QLatin1String("\"address\": \"198.18.16.33\",\n        \"interface\": \"eth0\",\n")));
    const QJsonArray items = QJsonDocument::fromJson(text.toUtf8()).array();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]["duplicate_mac"].toBool(), true);
    QVERIFY(items[0]["reach"].isNull());
    QCOMPARE(items[2]["interface"].toString(), QStringLiteral("eth0"));
    QCOMPARE(items[2]["reach"]["add"].toString(), AddCommand());
    QCOMPARE(items[2]["reach"]["remove"].toString(), RemoveCommand());
    QCOMPARE(items[2].toObject().keys().size(),
             15); // address, interface, the 11 settings, duplicate_mac, reach
}

void TestVrxctlDiscover::csvHasTheInterfaceColumn() {
    const QStringList lines = Printed(ListingFormat::Csv).split(u'\n');
    QCOMPARE(lines[0],
             QStringLiteral("address,interface,reader_ip,subnet_mask,gateway,reader_port,server_ip,"
                            "server_port,mac,protocol,heartbeat,beep,key_source,duplicate_mac,reach"));
    QVERIFY2(lines[1].startsWith(QLatin1String("198.18.16.33,eth0,198.18.16.33,")), qPrintable(lines[1]));
    QVERIFY(lines[1].endsWith(QLatin1String(",yes,")));
    QVERIFY2(lines[3].endsWith(",no," + vrx::CsvCell(AddCommand())), qPrintable(lines[3]));
}

void TestVrxctlDiscover::readersSharingAnAddressAreWarnedOf() {
    // Two new readers at one factory address on eth0; one of them also heard on eth1.
    const QList<vrx::FoundReader> readers{Reader("198.18.16.101", "eth0", "198.18.16.2", 0x01),
                                          Reader("198.18.16.101", "eth0", "198.18.16.2", 0x02),
                                          Reader("198.18.16.101", "eth1", "198.18.32.2", 0x01),
                                          Reader("198.18.16.102", "eth0", "198.18.16.2", 0x03)};
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    Console console{outStream, errStream};
    WarnSharedAddresses(console, readers);
    QCOMPARE(err, QStringLiteral("vrxctl: warning: 2 readers answer at 198.18.16.101 on eth0 (MAC "
                                 "00-14-C6-12-00-01, 00-14-C6-12-00-02); give each an address of its own\n"));
}

QTEST_GUILESS_MAIN(TestVrxctlDiscover)
#include "tst_vrxctl_discover.moc"
