#include "WorkedExample.h"
#include "config/FormerFields.h"
#include "config/ParameterBlock.h"

#include <QTest>

using namespace vrx;

class TestFormerFields : public QObject {
    Q_OBJECT

private slots:
    void workedExample();
    void texts();
    void choices_data();
    void choices();
};

void TestFormerFields::workedExample() {
    const FormerFields f = FormerFieldsFromSettings(ParameterBlock::decode(test::workedExampleBlock()));
    QCOMPARE(f.readerIp, QStringLiteral("192.168.0.101"));
    QCOMPARE(f.subnetMask, QStringLiteral("255.255.255.0"));
    QCOMPARE(f.defaultGateway, QStringLiteral("192.168.0.1"));
    QCOMPARE(f.serverIp, QStringLiteral("192.168.0.110"));
    QCOMPARE(f.readerPort, QStringLiteral("1234"));
    QCOMPARE(f.serverPort, QStringLiteral("1234"));
    QCOMPARE(f.mac, QStringLiteral("00-14-C0-A8-00-65"));
    QCOMPARE(f.protocol, (ChoiceDisplay{0, {}}));
    QCOMPARE(f.heartbeat, (ChoiceDisplay{1, {}}));
    QCOMPARE(f.beep, (ChoiceDisplay{1, {}}));
    QCOMPARE(f.keySource, (ChoiceDisplay{0, {}}));
}

void TestFormerFields::texts() {
    const QByteArray block = QByteArray::fromHex("00000000 00 00000000 0A000001 FF00FF00 7F000001 0050 FFFF"
                                                 " 0A0B0C0D0E0F 00 01 02 01 0000 00000000");
    const FormerFields f = FormerFieldsFromSettings(ParameterBlock::decode(block));
    QCOMPARE(f.readerIp, QStringLiteral("0.0.0.0"));
    QCOMPARE(f.subnetMask, QStringLiteral("10.0.0.1"));
    QCOMPARE(f.defaultGateway, QStringLiteral("255.0.255.0"));
    QCOMPARE(f.serverIp, QStringLiteral("127.0.0.1"));
    QCOMPARE(f.readerPort, QStringLiteral("80"));
    QCOMPARE(f.serverPort, QStringLiteral("65535"));
    QCOMPARE(f.mac, QStringLiteral("0A-0B-0C-0D-0E-0F"));
}

void TestFormerFields::choices_data() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("error");

    QTest::newRow("beep 00") << int(ParameterBlock::BeepOffset) << 0x00 << 0 << QString();
    QTest::newRow("beep FF") << int(ParameterBlock::BeepOffset) << 0xFF << 1 << QString();
    QTest::newRow("beep 01") << int(ParameterBlock::BeepOffset) << 0x01 << -1 << "蜂鸣器位置数据错误";
    QTest::newRow("beep FE") << int(ParameterBlock::BeepOffset) << 0xFE << -1 << "蜂鸣器位置数据错误";
    QTest::newRow("key 00") << int(ParameterBlock::KeySourceOffset) << 0x00 << 0 << QString();
    QTest::newRow("key 01") << int(ParameterBlock::KeySourceOffset) << 0x01 << 1 << QString();
    QTest::newRow("key 02") << int(ParameterBlock::KeySourceOffset) << 0x02 << -1 << "密码选择位置数据错误";
    QTest::newRow("key FF") << int(ParameterBlock::KeySourceOffset) << 0xFF << -1 << "密码选择位置数据错误";
    QTest::newRow("udp") << int(ParameterBlock::ProtocolOffset) << 0 << 0 << QString();
    QTest::newRow("tcp server") << int(ParameterBlock::ProtocolOffset) << 1 << 1 << QString();
    QTest::newRow("tcp client") << int(ParameterBlock::ProtocolOffset) << 2 << 2 << QString();
    QTest::newRow("protocol 3") << int(ParameterBlock::ProtocolOffset) << 3 << -1 << "数据错误";
    QTest::newRow("protocol FF") << int(ParameterBlock::ProtocolOffset) << 0xFF << -1 << "数据错误";
    QTest::newRow("heartbeat 00") << int(ParameterBlock::HeartbeatOffset) << 0x00 << 1 << QString();
    QTest::newRow("heartbeat FF") << int(ParameterBlock::HeartbeatOffset) << 0xFF << 0 << QString();
    QTest::newRow("heartbeat 01") << int(ParameterBlock::HeartbeatOffset) << 0x01 << 0 << QString();
}

void TestFormerFields::choices() {
    QFETCH(int, offset);
    QFETCH(int, code);
    QFETCH(int, index);
    QFETCH(QString, error);

    QByteArray block = test::workedExampleBlock();
    block[offset] = char(code);
    const FormerFields f = FormerFieldsFromSettings(ParameterBlock::decode(block));
    const ChoiceDisplay expected{index, error};
    switch (offset) {
    case ParameterBlock::BeepOffset:
        QCOMPARE(f.beep, expected);
        break;
    case ParameterBlock::KeySourceOffset:
        QCOMPARE(f.keySource, expected);
        break;
    case ParameterBlock::ProtocolOffset:
        QCOMPARE(f.protocol, expected);
        break;
    default:
        QCOMPARE(f.heartbeat, expected);
    }
}

QTEST_APPLESS_MAIN(TestFormerFields)
#include "tst_formerfields.moc"
