#include "WorkedExample.h"
#include "config/ParameterBlock.h"
#include "config/SettingsSummary.h"
#include "config/TargetFields.h"

#include <QTest>

using namespace vrx;

namespace {

// Display columns: the wide characters of the labels count 2, everything else 1.
int displayWidth(QStringView text) {
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

QByteArray withByte(int offset, quint8 value) {
    QByteArray block = test::workedExampleBlock();
    block[offset] = char(value);
    return block;
}

} // namespace

class TestSettingsSummary : public QObject {
    Q_OBJECT

private slots:
    void workedExample();
    void labelsArePadded();
    void line_data();
    void line();
    void report();
    void summaryOfEncodedFields();
};

void TestSettingsSummary::workedExample() {
    const QString expected = QStringLiteral("读卡器IP      ：192.168.0.101\r\n"
                                            "读卡器子网掩码：255.255.255.0\r\n"
                                            "读卡器默认网关：192.168.0.1\r\n"
                                            "读卡器端口    ：1234\r\n"
                                            "服务器计算机IP：192.168.0.110\r\n"
                                            "服务器端口    ：1234\r\n"
                                            "MAC           ：00-14-C0-A8-00-65\r\n"
                                            "读卡器协议    ：UDP\r\n"
                                            "是否需发送心跳：发送\r\n"
                                            "读卡时蜂鸣器  ：发声\r\n"
                                            "密码选择      ：使用命令中的密码\r\n");
    QCOMPARE(SettingsSummary(test::workedExampleBlock()), expected);
}

void TestSettingsSummary::labelsArePadded() {
    const QStringList lines = SettingsSummary(test::workedExampleBlock()).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 12);
    QVERIFY(lines.last().isEmpty());
    for (int i = 0; i < 11; ++i) {
        const qsizetype colon = lines[i].indexOf(QStringLiteral("："));
        QVERIFY2(colon > 0, qPrintable(lines[i]));
        QCOMPARE(displayWidth(QStringView(lines[i]).left(colon)), 14);
    }
}

void TestSettingsSummary::line_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::newRow("tcp server") << withByte(ParameterBlock::ProtocolOffset, 1) << 7
                                << "读卡器协议    ：TCP服务器";
    QTest::newRow("tcp client") << withByte(ParameterBlock::ProtocolOffset, 2) << 7
                                << "读卡器协议    ：TCP客户端";
    QTest::newRow("protocol 7") << withByte(ParameterBlock::ProtocolOffset, 7) << 7
                                << "读卡器协议    ：数据错误";
    QTest::newRow("no heartbeat") << withByte(ParameterBlock::HeartbeatOffset, 0xFF) << 8
                                  << "是否需发送心跳：不发送";
    QTest::newRow("silent") << withByte(ParameterBlock::BeepOffset, 0x00) << 9 << "读卡时蜂鸣器  ：不发声";
    QTest::newRow("reader keys") << withByte(ParameterBlock::KeySourceOffset, 0x01) << 10
                                 << "密码选择      ：使用读卡器内部密码";
    QTest::newRow("port 80")
        << QByteArray(test::workedExampleBlock()).replace(21, 2, QByteArray::fromHex("0050")) << 3
        << "读卡器端口    ：80";
    QTest::newRow("mac 0A..")
        << QByteArray(test::workedExampleBlock()).replace(25, 6, QByteArray::fromHex("0A0B0C0D0E0F")) << 6
        << "MAC           ：0A-0B-0C-0D-0E-0F";
}

void TestSettingsSummary::line() {
    QFETCH(QByteArray, block);
    QFETCH(int, line);
    QFETCH(QString, text);
    QCOMPARE(SettingsSummary(block).split(QStringLiteral("\r\n")).at(line), text);
}

void TestSettingsSummary::report() {
    const QByteArray block = test::workedExampleBlock();
    QCOMPARE(ConfigureReport(true, block), QStringLiteral("设置成功！\r\n\r\n") + SettingsSummary(block));
    QCOMPARE(
        ConfigureReport(false, block),
        QStringLiteral(
            "设置失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！\r\n\r\n"));
}

void TestSettingsSummary::summaryOfEncodedFields() {
    // Typed text in the heartbeat box is encoded as "send", and the summary says so.
    TargetFields fields = test::workedExampleFields();
    fields.heartbeatIndex = -1;
    fields.readerPort = QStringLiteral("0080");
    QByteArray sendBuffer;
    QVERIFY(EncodeTargetFields(fields, sendBuffer).ok);
    const QStringList lines = SettingsSummary(sendBuffer).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(3), QStringLiteral("读卡器端口    ：80"));
    QCOMPARE(lines.at(8), QStringLiteral("是否需发送心跳：发送"));
}

QTEST_APPLESS_MAIN(TestSettingsSummary)
#include "tst_settingssummary.moc"
