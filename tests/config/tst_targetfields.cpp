#include "WorkedExample.h"
#include "config/ParameterBlock.h"
#include "config/TargetFields.h"
#include "fields/AddressText.h"
#include "words/FieldWords.h"

#include <QTest>

using namespace vrx;

namespace {

constexpr char Untouched = char(0xAA);

// Applies "name=value" edits to the start-up target fields.
TargetFields edited(const QStringList &edits) {
    TargetFields f = test::workedExampleFields();
    for (const QString &edit : edits) {
        const qsizetype eq = edit.indexOf(u'=');
        const QString name = edit.left(eq);
        const QString value = edit.mid(eq + 1);
        if (name == "readerIp")
            f.readerIp = value;
        else if (name == "subnetMask")
            f.subnetMask = value;
        else if (name == "defaultGateway")
            f.defaultGateway = value;
        else if (name == "serverIp")
            f.serverIp = value;
        else if (name == "readerPort")
            f.readerPort = value;
        else if (name == "serverPort")
            f.serverPort = value;
        else if (name == "mac")
            f.mac = value;
        else if (name == "protocol")
            f.protocolIndex = value.toInt();
        else if (name == "heartbeat")
            f.heartbeatIndex = value.toInt();
        else if (name == "beep")
            f.beepIndex = value.toInt();
        else if (name == "keySource")
            f.keySourceIndex = value.toInt();
        else
            qFatal("unknown field %s", qPrintable(name));
    }
    return f;
}

// The worked example's bytes as far as a refused run gets: markers and byte 4 always, then every
// field before `end`; the rest keeps what the buffer held before (0xAA).
QByteArray writtenUpTo(int end) {
    QByteArray expected = test::workedExampleBlock();
    for (int i = end; i < 37; ++i)
        expected[i] = Untouched;
    return expected;
}

QByteArray example(const char *hex) {
    return QByteArray::fromHex(hex);
}

} // namespace

class TestTargetFields : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void resizesBuffer_data();
    void resizesBuffer();
};

void TestTargetFields::encode_data() {
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("messages"); // empty: accepted
    QTest::addColumn<QByteArray>("bytes");

    const QString readerIpMsg = QStringLiteral("请输入正确的本机地址");
    const QString maskMsg = QStringLiteral("请输入正确的子网掩码");
    const QString gatewayMsg = QStringLiteral("请输入正确的默认网关");
    const QString serverMsg = QStringLiteral("请输入正确服务器计算机IP");
    const QString readerPortMsg = QStringLiteral("请输入1-65535之间的读卡器端口号");
    const QString serverPortMsg = QStringLiteral("请输入1-65535之间的服务器计算机端口号");
    const QString macMsg = QStringLiteral("请输入正确的读卡器MAC");
    const QString protocolMsg = QStringLiteral("读卡器协议不是列表中的一项，无法设置");
    const QString overflow = OverflowDescription();
    auto refused = [](const char *name, QStringList edits, QStringList messages, int end) {
        QTest::newRow(name) << edits << messages << writtenUpTo(end);
    };
    auto accepted = [](const char *name, QStringList edits, QByteArray bytes) {
        QTest::newRow(name) << edits << QStringList() << bytes;
    };

    accepted("worked example", {}, test::workedExampleBlock());

    // Addresses.
    refused("reader ip .0", {"readerIp=192.168.0.0"}, {readerIpMsg}, 5);
    refused("reader ip three groups", {"readerIp=192.168.1"}, {readerIpMsg}, 5);
    refused("reader ip empty", {"readerIp="}, {readerIpMsg}, 5);
    refused("reader ip letter", {"readerIp=192.168.0.x"}, {readerIpMsg}, 5);
    refused("reader ip 256", {"readerIp=256.1.1.1"}, {readerIpMsg}, 5);
    refused("reader ip overflow", {"readerIp=1.2.3.40000"}, {overflow, readerIpMsg}, 5);
    refused("reader ip 10000 digits", {"readerIp=1.2.3." + QString(10000, u'7')}, {overflow, readerIpMsg}, 5);
    refused("reader ip invalid before overflow", {"readerIp=256.1.1.40000"}, {readerIpMsg}, 5);
    refused("reader ip full-width", {QStringLiteral("readerIp=１９２.168.0.1")}, {readerIpMsg}, 5);
    accepted("reader ip blanks around", {"readerIp=  10.0.0.7  "},
             example("E7E7E7E7 00 0A000007 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                     " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E"));
    accepted("mask .0 accepted", {"subnetMask=192.168.0.0"},
             example("E7E7E7E7 00 C0A80065 C0A80000 C0A80001 C0A8006E 04D2 04D2"
                     " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E"));
    accepted("mask 255.255", {"subnetMask=255.255"},
             example("E7E7E7E7 00 C0A80065 FFFF0000 C0A80001 C0A8006E 04D2 04D2"
                     " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E"));
    accepted("mask empty", {"subnetMask="},
             example("E7E7E7E7 00 C0A80065 00000000 C0A80001 C0A8006E 04D2 04D2"
                     " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E"));
    refused("mask letter", {"subnetMask=255.x"}, {maskMsg}, 9);
    refused("mask overflow", {"subnetMask=99999"}, {overflow, maskMsg}, 9);
    refused("gateway empty", {"defaultGateway="}, {gatewayMsg}, 13);
    refused("gateway .0", {"defaultGateway=192.168.0.0"}, {gatewayMsg}, 13);
    refused("gateway 300", {"defaultGateway=192.168.0.300"}, {gatewayMsg}, 13);
    refused("server empty", {"serverIp="}, {serverMsg}, 17);
    refused("server .0", {"serverIp=10.0.0.0"}, {serverMsg}, 17);
    refused("server overflow", {"serverIp=1.2.3.32768"}, {overflow, serverMsg}, 17);

    // Ports.
    refused("reader port empty", {"readerPort="}, {readerPortMsg}, 21);
    refused("reader port blanks", {"readerPort=   "}, {readerPortMsg}, 21);
    refused("reader port 12a", {"readerPort=12a"}, {readerPortMsg}, 21);
    refused("reader port 0", {"readerPort=0"}, {readerPortMsg}, 21);
    refused("reader port 0000", {"readerPort=0000"}, {readerPortMsg}, 21);
    refused("reader port 65536", {"readerPort=65536"}, {readerPortMsg}, 21);
    refused("reader port 30 digits", {"readerPort=" + QString(30, u'9')}, {readerPortMsg}, 21);
    refused("reader port 2^32+1234", {"readerPort=4294968530"}, {readerPortMsg}, 21);
    refused("reader port inner blank", {"readerPort=12 34"}, {readerPortMsg}, 21);
    refused("reader port sign", {"readerPort=+80"}, {readerPortMsg}, 21);
    refused("reader port full-width", {QStringLiteral("readerPort=８０")}, {readerPortMsg}, 21);
    accepted("reader port 1", {"readerPort=1"},
             example("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 0001 04D2"
                     " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E"));
    accepted("reader port 01234", {"readerPort=01234"}, test::workedExampleBlock());
    accepted("reader port many zeros", {"readerPort=" + QString(40, u'0') + "1234"},
             test::workedExampleBlock());
    accepted("reader port spaces", {"readerPort=  1234 "}, test::workedExampleBlock());
    accepted("ports 65535 and 80", {"readerPort=65535", "serverPort=80"},
             example("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E FFFF 0050"
                     " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E"));
    refused("server port 65536", {"serverPort=65536"}, {serverPortMsg}, 23);
    refused("server port empty", {"serverPort="}, {serverPortMsg}, 23);

    // MAC.
    accepted("mac 12-23-...", {"mac=12-23-34-45-67-78"},
             example("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                     " 122334456778 FF 00 00 00 0000 7E7E7E7E"));
    accepted("mac 1G and empty inner group", {"mac=1G--33-44-55-66"},
             example("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                     " 010033445566 FF 00 00 00 0000 7E7E7E7E"));
    accepted("mac trailing dash", {"mac=11-22-33-44-55-"},
             example("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                     " 112233445500 FF 00 00 00 0000 7E7E7E7E"));
    refused("mac four dashes", {"mac=12-23-34-45-67"}, {macMsg}, 25);
    refused("mac colons", {"mac=12:23:34:45:67:78"}, {macMsg}, 25);
    refused("mac 100", {"mac=12-23-34-45-67-100"}, {macMsg}, 25);
    refused("mac six dashes", {"mac=12-23-34-45-67-78-"}, {macMsg}, 25);
    refused("mac seven groups", {"mac=12-23-34-45-67-78-99"}, {macMsg}, 25);
    refused("mac long group", {"mac=FFFFFFFFFFFFFFFFFFFF-1-2-3-4-5"}, {macMsg}, 25);

    // Choices.
    accepted("choices flipped", {"protocol=2", "heartbeat=0", "beep=0", "keySource=1"},
             example("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                     " 0014C0A80065 00 01 02 FF 0000 7E7E7E7E"));
    accepted("tcp server", {"protocol=1"},
             example("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                     " 0014C0A80065 FF 00 01 00 0000 7E7E7E7E"));
    accepted("heartbeat typed text", {"heartbeat=-1"}, test::workedExampleBlock());
    refused("protocol typed text", {"protocol=-1"}, {protocolMsg}, 33);
    refused("protocol out of list", {"protocol=3"}, {protocolMsg}, 33);

    // Several bad fields: only the first is reported.
    refused("first bad field wins", {"serverIp=", "readerPort=0", "mac=x", "defaultGateway=1.1.1.0"},
            {gatewayMsg}, 13);
    refused("port before mac", {"serverPort=0", "mac=x", "protocol=-1"}, {serverPortMsg}, 23);
}

void TestTargetFields::encode() {
    QFETCH(QStringList, edits);
    QFETCH(QStringList, messages);
    QFETCH(QByteArray, bytes);

    QByteArray sendBuffer(ParameterBlock::Size, Untouched);
    const EncodeOutcome outcome = EncodeTargetFields(edited(edits), sendBuffer);
    QCOMPARE(TargetProblemTexts(outcome.problems), messages); // the window's words for the typed problems
    QCOMPARE(outcome.ok, messages.isEmpty());
    QCOMPARE(sendBuffer.toHex(' '), bytes.toHex(' '));
}

void TestTargetFields::resizesBuffer_data() {
    QTest::addColumn<QByteArray>("initial");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("short") << QByteArray(8, '\x11');
    QTest::newRow("long") << QByteArray(200, '\x11');
}

void TestTargetFields::resizesBuffer() {
    QFETCH(QByteArray, initial);
    QByteArray sendBuffer = initial;
    QVERIFY(EncodeTargetFields(test::workedExampleFields(), sendBuffer).ok);
    QCOMPARE(sendBuffer.toHex(' '), test::workedExampleBlock().toHex(' '));
}

QTEST_APPLESS_MAIN(TestTargetFields)
#include "tst_targetfields.moc"
