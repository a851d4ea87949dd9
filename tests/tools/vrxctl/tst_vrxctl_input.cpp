// What vrxctl makes of its input before anything is sent: ranges, key files, batch files, settings
// changes checked by the window's code, and traces that never show a key.
#include "BatchFile.h"
#include "CommandLine.h"
#include "InputProblems.h"
#include "KeyInput.h"
#include "SampleKeyFile.h"
#include "SettingsChange.h"
#include "SettingsView.h"
#include "Trace.h"
#include "net/CsvText.h"

#include "config/ParameterBlock.h"
#include "keys/KeyFrame.h"
#include "net/AddressRange.h"
#include "words/Catalogue.h"
#include "words/FieldWords.h"

#include <QJsonDocument>
#include <QTest>

using namespace vrxctl;
using vrx::CsvLine;
using vrx::CsvTable;
using vrx::ParseCsv;

class TestVrxctlInput : public QObject {
    Q_OBJECT

private slots:
    // vrxctl speaks English from the shared catalogue, as RunVrxctl sets it up.
    void initTestCase() { QVERIFY(vrx::UseEnglishWords(true)); }
    void noRouteNamesTheCardOnTheSubnet_data();
    void noRouteNamesTheCardOnTheSubnet();
    void ranges_data();
    void ranges();
    void rangeLimit();
    void keyFile_data();
    void keyFile();
    void keyFilePlacesSectors();
    void batchFile();
    void batchHeaderErrors_data();
    void batchHeaderErrors();
    void batchColumnNames_data();
    void batchColumnNames();
    void csvQuoting();
    void firstBadFieldInWindowOrder_data();
    void firstBadFieldInWindowOrder();
    void changeKeepsWhatIsNotGiven();
    void outOfListCodeMustBeGiven();
    void macAuto();
    void jsonOutput();
    void changeFromJson();
    void traceMasksKeys();
};

void TestVrxctlInput::ranges_data() {
    QTest::addColumn<QStringList>("ranges");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("ok");

    QTest::newRow("one address") << QStringList{"127.1.5.7"} << 1 << "127.1.5.7"
                                 << "127.1.5.7" << true;
    QTest::newRow("/24 without network and broadcast") << QStringList{"127.1.5.0/24"} << 254 << "127.1.5.1"
                                                       << "127.1.5.254" << true;
    QTest::newRow("/24 from a host address") << QStringList{"127.1.5.77/24"} << 254 << "127.1.5.1"
                                             << "127.1.5.254" << true;
    QTest::newRow("/31 keeps both") << QStringList{"127.1.5.6/31"} << 2 << "127.1.5.6"
                                    << "127.1.5.7" << true;
    QTest::newRow("/32") << QStringList{"127.1.5.6/32"} << 1 << "127.1.5.6"
                         << "127.1.5.6" << true;
    QTest::newRow("first-last") << QStringList{"127.1.5.250-127.1.6.3"} << 10 << "127.1.5.250"
                                << "127.1.6.3" << true;
    QTest::newRow("first-last number") << QStringList{"127.1.5.10-20"} << 11 << "127.1.5.10"
                                       << "127.1.5.20" << true;
    QTest::newRow("overlaps merged and sorted")
        << QStringList{"127.1.5.9", "127.1.5.1-10", "127.1.4.255"} << 11 << "127.1.4.255"
        << "127.1.5.10" << true;
    QTest::newRow("leading zeros are canonical") << QStringList{"127.001.005.007"} << 1 << "127.1.5.7"
                                                 << "127.1.5.7" << true;
    QTest::newRow("three groups refused") << QStringList{"127.1.5"} << 0 << ""
                                          << "" << false;
    QTest::newRow("byte too large") << QStringList{"127.1.5.256"} << 0 << ""
                                    << "" << false;
    QTest::newRow("prefix 33") << QStringList{"127.1.5.0/33"} << 0 << ""
                               << "" << false;
    QTest::newRow("backwards") << QStringList{"127.1.5.20-127.1.5.10"} << 0 << ""
                               << "" << false;
    QTest::newRow("name") << QStringList{"localhost"} << 0 << ""
                          << "" << false;
    QTest::newRow("nothing") << QStringList{} << 0 << ""
                             << "" << false;
}

void TestVrxctlInput::ranges() {
    QFETCH(QStringList, ranges);
    QFETCH(int, count);
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(bool, ok);
    const vrx::AddressList list = vrx::ExpandRanges(ranges);
    QCOMPARE(list.ok(), ok);
    if (!ok) {
        QVERIFY(list.addresses.isEmpty());
        return;
    }
    QCOMPARE(list.addresses.size(), count);
    QCOMPARE(vrx::AddressText(list.addresses.front()), first);
    QCOMPARE(vrx::AddressText(list.addresses.back()), last);
    QVERIFY(std::is_sorted(list.addresses.begin(), list.addresses.end()));
}

void TestVrxctlInput::rangeLimit() {
    // 65,536 addresses pass; one more is refused with the limit named, before anything is expanded.
    QCOMPARE(vrx::ExpandRanges({"127.1.0.0-127.1.255.255"}).addresses.size(), 65536);
    const vrx::AddressList tooMany = vrx::ExpandRanges({"127.1.0.0-127.1.255.255", "127.2.0.0"});
    QVERIFY(!tooMany.ok());
    QVERIFY2(RangeProblemText(tooMany).contains("65536"), qPrintable(RangeProblemText(tooMany)));
    QVERIFY(!vrx::ExpandRanges({"0.0.0.0/0"}).ok());
}

void TestVrxctlInput::keyFile_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error"); // a part of the message; empty for a good file

    const QString full = SampleKeyFile();
    QTest::newRow("complete") << full << "";
    QTest::newRow("tabs and CRLF") << QString(full).replace(' ', '\t').replace("\n", "\r\n") << "";
    QTest::newRow("missing sector") << QString(full).replace("7 A0A1A2A3A407 B0B1B2B3B407  # sector 7\n", "")
                                    << "sector 7";
    QTest::newRow("sector twice") << full + "3 FFFFFFFFFFFF FFFFFFFFFFFF\n"
                                  << "line 19: sector 3 is already given on line 6";
    QTest::newRow("sector 16") << full + "16 FFFFFFFFFFFF FFFFFFFFFFFF\n"
                               << "line 19: the sector";
    QTest::newRow("two items") << "0 FFFFFFFFFFFF\n"
                               << "line 1: expected";
    QTest::newRow("not hex") << QString(full).replace("B0B1B2B3B405", "B0B1B2B3B4ZZ")
                             << "line 8: the B key of sector 5";
    QTest::newRow("too long") << QString(full).replace("A0A1A2A3A40f", "A0A1A2A3A40f0") << "longer than 12";
}

void TestVrxctlInput::keyFile() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    const KeyFields keys = KeyFieldsFromFile(text);
    if (error.isEmpty()) {
        QVERIFY2(keys.ok(), qPrintable(keys.error));
        QCOMPARE(keys.fields.size(), 32);
    } else {
        QVERIFY(!keys.ok());
        QVERIFY2(keys.error.contains(error), qPrintable(keys.error));
        // A message never quotes key material.
        QVERIFY(!keys.error.contains("B0B1B2"));
        QVERIFY(!keys.error.contains("A0A1A2"));
    }
}

void TestVrxctlInput::keyFilePlacesSectors() {
    // Sector 9's keys must land at its own offsets of the frame, through the window's field order.
    const KeyFields keys = KeyFieldsFromFile(SampleKeyFile());
    QVERIFY(keys.ok());
    QByteArray frame;
    QVERIFY(vrx::BuildKeyFrame(keys.fields, frame).ok);
    QCOMPARE(frame.mid(vrx::KeyFrame::aKeyOffset(9), 6), QByteArray::fromHex("A0A1A2A3A409"));
    QCOMPARE(frame.mid(vrx::KeyFrame::bKeyOffset(9), 6), QByteArray::fromHex("B0B1B2B3B409"));
    QCOMPARE(frame.mid(vrx::KeyFrame::bKeyOffset(15), 6), QByteArray::fromHex("B0B1B2B3B40F"));

    // A short key is left to the window's check, which names sector and key, in both languages.
    QStringList fields = KeyFieldsFromOneKey("FFFFFFFFFFFF").fields;
    fields[vrx::KeyFrame::fieldOf(8, true)] = "FFFF";
    const int shortField = vrx::BuildKeyFrame(fields, frame).shortField;
    QCOMPARE(shortField, vrx::KeyFrame::fieldOf(8, true));
    QCOMPARE(vrx::ShortKeyText(shortField),
             QStringLiteral("key B of sector 8 is shorter than 12 hexadecimal digits"));
    vrx::UseEnglishWords(false);
    QCOMPARE(vrx::ShortKeyText(shortField), QStringLiteral("第8区B密码长度小于12！"));
    vrx::UseEnglishWords(true);
    QVERIFY(!KeyFieldsFromOneKey("FFFFFFFFFFFG").ok());
}

void TestVrxctlInput::batchFile() {
    const QString text = "address,ip,port,mac,protocol\n"             // line 1
                         "127.0.31.10,127.0.31.20,,auto,tcp-client\n" // line 2: good
                         "\n"                                         // line 3
                         "# a comment\n"                              // line 4
                         "127.0.31.11,,70000,,\n"                     // line 5: bad port
                         "127.0.31.12,127.0.31.0,12a,,udp\n"          // line 6: IP named first
                         "127.0.31.x,,,,\n"                           // line 7: bad address
                         "127.0.31.13,,80,,carrier-pigeon\n"          // line 8: bad word
                         "127.0.31.14,,80\n"                          // line 9: short row
                         "\"127.0.31.15\",\" 127.0.31.25 \",,,\n"     // line 10: quoted blanks
                         "\"127.0.31.16\",\"127.0.31.26\",,,\n";      // line 11: quoted, good
    const BatchFile file = ParseBatchFile(text);
    QVERIFY2(file.error.isEmpty(), qPrintable(file.error));
    QCOMPARE(file.rows.size(), 8);
    const auto row = [&](int line) {
        for (const BatchRow &r : file.rows)
            if (r.line == line)
                return r;
        return BatchRow{};
    };
    QVERIFY(row(2).ok());
    QCOMPARE(row(2).address, QStringLiteral("127.0.31.10"));
    QCOMPARE(row(2).change.values.value(SettingField::Protocol), QStringLiteral("tcp-client"));
    QVERIFY(!row(2).change.values.contains(SettingField::ReaderPort)); // empty cell: keep
    QVERIFY(row(5).invalid.contains("--port"));
    QVERIFY2(row(6).invalid.contains("--ip"), qPrintable(row(6).invalid));
    QVERIFY(row(7).invalid.startsWith("address"));
    QVERIFY(row(8).invalid.contains("carrier-pigeon"));
    QVERIFY(row(9).invalid.contains("cells"));
    // Blanks inside quotes are part of the cell, and an address has nothing before or after it.
    QVERIFY2(row(10).invalid.startsWith("ip \" 127.0.31.25 \" is not an address"),
             qPrintable(row(10).invalid));
    QVERIFY(row(11).ok());
    QCOMPARE(row(11).change.values.value(SettingField::ReaderIp), QStringLiteral("127.0.31.26"));
}

void TestVrxctlInput::batchHeaderErrors_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("no address column") << "ip,port\n127.0.31.1,80\n"
                                       << "no column \"address\"";
    QTest::newRow("unknown column") << "address,colour\n"
                                    << "unknown column \"colour\"";
    QTest::newRow("column twice") << "address,port,port\n"
                                  << "appears twice";
    QTest::newRow("empty") << "# nothing\n"
                           << "no header";
    QTest::newRow("open quote") << "address\n\"127.0.31.1\n"
                                << "line 2: a quoted cell is not closed";
    QTest::newRow("one setting by both names") << "address,server-ip,server_ip\n"
                                               << "appears twice";
    QTest::newRow("keys twice") << "address,keys,KEYS\n"
                                << "the column \"keys\" appears twice";
}

void TestVrxctlInput::batchColumnNames_data() {
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("cells");
    QTest::addColumn<QList<SettingField>>("fields"); // the settings the row changes
    QTest::addColumn<bool>("settingsColumns");
    QTest::addColumn<QString>("keys");

    using F = SettingField;
    QTest::newRow("configure's names") << "address,ip,server-ip,key-source"
                                       << "127.0.31.1,127.0.31.2,10.0.0.1,reader"
                                       << QList<F>{F::ReaderIp, F::ServerIp, F::KeySource} << true << "";
    QTest::newRow("read --json's names")
        << "address,reader_ip,subnet_mask,server_port,key_source"
        << "127.0.31.1,127.0.31.2,255.255.0.0,80,reader"
        << QList<F>{F::ReaderIp, F::SubnetMask, F::ServerPort, F::KeySource} << true << "";
    QTest::newRow("scan --csv as written")
        << "address,reader_ip,subnet_mask,gateway,reader_port,server_ip,server_port,mac,protocol,heartbeat,"
           "beep,key_source,duplicate_mac"
        << "127.0.31.1,127.0.31.1,255.255.255.0,127.0.31.254,1234,10.0.0.1,1234,00-14-7F-00-1F-01,udp,on,on,"
           "command,yes"
        << QList<F>{F::ReaderIp, F::SubnetMask, F::Gateway,   F::ReaderPort, F::ServerIp, F::ServerPort,
                    F::Mac,      F::Protocol,   F::Heartbeat, F::Beep,       F::KeySource}
        << true << "";
    QTest::newRow("discover --csv, descriptions ignored")
        << "address,interface,server_ip,duplicate_mac,reach"
        << "127.0.31.1,eth0,10.0.0.1,no,\"ip route add 127.0.31.1 dev eth0\"" << QList<F>{F::ServerIp} << true
        << "";
    QTest::newRow("keys only") << "address,keys"
                               << "127.0.31.1,site.keys" << QList<F>{} << false << "site.keys";
    QTest::newRow("address only") << "address"
                                  << "127.0.31.1" << QList<F>{} << false << "";
}

void TestVrxctlInput::batchColumnNames() {
    QFETCH(QString, header);
    QFETCH(QString, cells);
    QFETCH(QList<SettingField>, fields);
    QFETCH(bool, settingsColumns);
    QFETCH(QString, keys);
    const BatchFile file = ParseBatchFile(header + u'\n' + cells + u'\n');
    QVERIFY2(file.error.isEmpty(), qPrintable(file.error));
    QCOMPARE(file.rows.size(), 1);
    QVERIFY2(file.rows.front().ok(), qPrintable(file.rows.front().invalid));
    QCOMPARE(file.rows.front().change.values.keys(), fields);
    QCOMPARE(file.settingsColumns, settingsColumns);
    QCOMPARE(file.keysColumn, !keys.isEmpty());
    QCOMPARE(file.rows.front().keys, keys);
}

void TestVrxctlInput::batchHeaderErrors() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    const BatchFile file = ParseBatchFile(text);
    QVERIFY2(file.error.contains(error), qPrintable(file.error));
}

void TestVrxctlInput::csvQuoting() {
    const QStringList cells{"ok", "invalid: a, b", "say \"hi\"", ""};
    const CsvTable table = ParseCsv(CsvLine(cells) + "\n");
    QCOMPARE(table.records.size(), 1);
    QCOMPARE(table.records.front().cells, cells);
    // A quoted cell may span lines; the next record's line number counts them.
    const CsvTable spanning = ParseCsv("a,\"b\nc\"\nd,e\n");
    QCOMPARE(spanning.records.size(), 2);
    QCOMPARE(spanning.records[0].cells[1], QStringLiteral("b\nc"));
    QCOMPARE(spanning.records[1].line, 3);
}

void TestVrxctlInput::firstBadFieldInWindowOrder_data() {
    QTest::addColumn<QStringList>("options"); // field=value
    QTest::addColumn<QString>("named");
    QTest::newRow("ip before port") << QStringList{"port=0", "ip=10.0.0.0"} << "--ip";
    QTest::newRow("mask before gateway") << QStringList{"gateway=1.2.3.0", "mask=1.2.3.999"} << "--mask";
    QTest::newRow("server ip before reader port")
        << QStringList{"port=x", "server-ip=1.2.3.0"} << "--server-ip";
    QTest::newRow("reader port before server port") << QStringList{"server-port=0", "port=65536"} << "--port";
    QTest::newRow("mac before a choice word") << QStringList{"beep=loud", "mac=1-2-3"} << "--mac";
    QTest::newRow("choice word") << QStringList{"beep=loud"} << "--beep";
    QTest::newRow("overflow then field")
        << QStringList{"ip=1.2.3.40000"} << "a number is too large; reader IP (--ip)";
}

namespace {

SettingsChange ChangeOf(const QStringList &options) {
    SettingsChange change;
    for (const QString &option : options) {
        const QString name = option.section('=', 0, 0);
        for (const SettingName &setting : SettingNames())
            if (name == QLatin1String(setting.option))
                change.values.insert(setting.field, option.section('=', 1));
    }
    return change;
}

} // namespace

void TestVrxctlInput::firstBadFieldInWindowOrder() {
    QFETCH(QStringList, options);
    QFETCH(QString, named);
    const EncodedChange encoded = EncodeChange(CheckingBase(), ChangeOf(options));
    QVERIFY(!encoded.ok);
    QVERIFY2(ChangeErrorText(encoded).contains(named), qPrintable(ChangeErrorText(encoded)));
}

void TestVrxctlInput::changeKeepsWhatIsNotGiven() {
    const EncodedChange encoded =
        EncodeChange(CheckingBase(), ChangeOf({"port=80", "heartbeat=off", "mask=255.255"}));
    QVERIFY2(encoded.ok, qPrintable(ChangeErrorText(encoded)));
    // The worked example with the port 80, heartbeat not sent and the mask the window reads from "255.255".
    QCOMPARE(encoded.block, QByteArray::fromHex("E7E7E7E700C0A80065FFFF0000C0A80001C0A8006E005004D2"
                                                "0014C0A80065FF0000FF00007E7E7E7E"));
    QCOMPARE(SettingsDifferences(CheckingBase(), encoded.result),
             (QStringList{"mask 255.255.255.0 -> 255.255.0.0", "port 1234 -> 80", "heartbeat on -> off"}));
}

void TestVrxctlInput::outOfListCodeMustBeGiven() {
    vrx::ReaderSettings odd = CheckingBase();
    odd.readerProtocol = 7;
    const EncodedChange refused = EncodeChange(odd, ChangeOf({"port=80"}));
    QVERIFY(!refused.ok);
    QVERIFY2(ChangeErrorText(refused).contains("code 7") && ChangeErrorText(refused).contains("--protocol"),
             qPrintable(ChangeErrorText(refused)));
    const EncodedChange given = EncodeChange(odd, ChangeOf({"port=80", "protocol=TCP-Server"}));
    QVERIFY2(given.ok, qPrintable(ChangeErrorText(given)));
    QCOMPARE(given.result.readerProtocol, vrx::Protocol::TcpServer);
}

void TestVrxctlInput::macAuto() {
    const EncodedChange encoded = EncodeChange(CheckingBase(), ChangeOf({"ip=127.0.31.200", "mac=auto"}));
    QVERIFY2(encoded.ok, qPrintable(ChangeErrorText(encoded)));
    QCOMPARE(FieldText(encoded.result, SettingField::Mac), QStringLiteral("00-14-7F-00-1F-C8"));
}

void TestVrxctlInput::jsonOutput() {
    vrx::ReaderSettings settings = CheckingBase();
    settings.beepOnRead = 0x01; // outside its list: shown as its number
    const QJsonObject json = SettingsJson(settings);
    QCOMPARE(json.keys().size(), 11);
    QCOMPARE(json.value("reader_ip").toString(), QStringLiteral("192.168.0.101"));
    QCOMPARE(json.value("reader_port").toInt(), 1234);
    QCOMPARE(json.value("protocol").toString(), QStringLiteral("udp"));
    QCOMPARE(json.value("heartbeat").toString(), QStringLiteral("on"));
    QVERIFY(json.value("beep").isDouble());
    QCOMPARE(json.value("beep").toInt(), 1);
    QCOMPARE(json.value("key_source").toString(), QStringLiteral("command"));
    QCOMPARE(json.value("mac").toString(), QStringLiteral("00-14-C0-A8-00-65"));
}

void TestVrxctlInput::changeFromJson() {
    // What read --json prints is what configure --from takes.
    QString error;
    const SettingsChange change = ChangeFromJson(SettingsJson(CheckingBase()), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const EncodedChange encoded = EncodeChange(CheckingBase(), change);
    QVERIFY(encoded.ok);
    QCOMPARE(encoded.result, CheckingBase());

    ChangeFromJson(QJsonDocument::fromJson(R"({"reader_ip":"1.2.3.4","colour":"red"})").object(), &error);
    QVERIFY(error.contains("colour"));
    error.clear();
    ChangeFromJson(QJsonDocument::fromJson(R"({"reader_port":[80]})").object(), &error);
    QVERIFY(error.contains("reader_port"));
}

void TestVrxctlInput::traceMasksKeys() {
    QStringList fields = KeyFieldsFromOneKey("A1B2C3D4E5F6").fields;
    QByteArray frame;
    QVERIFY(vrx::BuildKeyFrame(fields, frame).ok);
    const QString text = DescribeDatagram(frame, true);
    QVERIFY(text.startsWith("200 bytes  E1 E1 E1 E1 ************"));
    QVERIFY(text.contains("1E 1E 1E 1E"));
    QCOMPARE(text.count("************"), 32);
    QVERIFY(!text.contains("A1") && !text.contains("F6"));
    // A longer echo shows nothing past the frame; a short datagram during a download shows nothing.
    QVERIFY(!DescribeDatagram(frame + QByteArray::fromHex("A1B2C3"), true).contains("A1"));
    QVERIFY(!DescribeDatagram(frame.left(60), true).contains("A1"));
    // Outside a download, other datagrams are shown in full; a block shows its fields.
    QVERIFY(DescribeDatagram(QByteArray::fromHex("A1B2"), false).contains("A1 B2"));
    QVERIFY(DescribeDatagram(vrx::ParameterBlock::encode(CheckingBase()), false)
                .contains("reader_ip=192.168.0.101"));
    QVERIFY(DescribeDatagram(vrx::ParameterQuery(), false).contains("parameter query"));
}

// A target that the route lookup cannot reach, against a computer with eth0 on 198.18.40.1/24: its
// subnet-directed broadcast address and an address on it are not said to be on no card's subnet.
void TestVrxctlInput::noRouteNamesTheCardOnTheSubnet_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("says");
    QTest::newRow("broadcast of eth0's subnet")
        << "198.18.40.255"
        << "198.18.40.255 is the broadcast address of the subnet of eth0 (198.18.40.1/24), not a reader's";
    QTest::newRow("on eth0's subnet")
        << "198.18.40.7"
        << "no route to 198.18.40.7, although eth0 (198.18.40.1/24) is on its subnet";
    QTest::newRow("elsewhere") << "198.19.1.1"
                               << "no route to 198.19.1.1: no card of this computer is on its subnet";
}

void TestVrxctlInput::noRouteNamesTheCardOnTheSubnet() {
    QFETCH(QString, target);
    QFETCH(QString, says);
    const QList<vrx::LocalCard> cards{{QStringLiteral("eth0"), 0xC6122801, 24, 0xC61228FF, false},
                                      {QStringLiteral("lo"), 0x7F000001, 8, 0, true}};
    const QString text = vrxctl::NoRouteText(target, cards);
    QVERIFY2(text.startsWith(says), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestVrxctlInput)
#include "tst_vrxctl_input.moc"
