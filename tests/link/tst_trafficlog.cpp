#include "config/ParameterBlock.h"
#include "link/TrafficLog.h"
#include "words/TrafficWords.h"

#include <QTest>

using vrx::DatagramVerdict;
using vrx::TrafficLog;
using Column = TrafficLog::Column;

// A cell as the log's window shows it.
QString Text(const TrafficLog &log, qsizetype row, Column column, bool showKeys) {
    return vrx::TrafficCellText(log.At(row), column, showKeys);
}

namespace {

const QString Reader = QStringLiteral("192.168.0.101");

// E1 x4, the 192 key bytes 00 01 02 ... BF, 1E x4.
QByteArray KeyFrameBytes() {
    QByteArray frame(4, char(0xE1));
    for (int i = 0; i < 192; ++i)
        frame.append(char(i));
    return frame.append(4, char(0x1E));
}

QByteArray Block() {
    return QByteArray::fromHex("E7E7E7E700C0A80065FFFFFF00C0A80001C0A8006E04D204D20014C0A80065FF000000"
                               "00007E7E7E7E");
}

// The hex text of bytes with the given positions as "**".
QString HexWithMask(const QByteArray &bytes, const std::function<bool(int)> &masked) {
    QStringList pairs;
    for (int i = 0; i < bytes.size(); ++i)
        pairs << (masked(i) ? QStringLiteral("**") : QString::fromLatin1(bytes.mid(i, 1).toHex().toUpper()));
    return pairs.join(u' ');
}

bool KeyPosition(int i) {
    return i >= 4 && (i < 196 || i >= 200);
}

TrafficLog NewLog() {
    return TrafficLog(TrafficLog::Clock::now());
}

} // namespace

class TestTrafficLog : public QObject {
    Q_OBJECT

private slots:
    void keyBytesAreMaskedWhereKeysCanBe_data();
    void keyBytesAreMaskedWhereKeysCanBe();
    void newestTenThousandRowsAreKept();
    void clearEmptiesAndCountsOn();
    void copyTextIsTheRowsAsShown();
    void longDatagramKeepsItsHead();
    void noReplyRowGivesTheWaitInTheGivenWords();
    void timeHasTenthsOfMilliseconds_data();
    void timeHasTenthsOfMilliseconds();
};

void TestTrafficLog::keyBytesAreMaskedWhereKeysCanBe_data() {
    QTest::addColumn<QByteArray>("sentBefore"); // empty: nothing sent before
    QTest::addColumn<bool>("received");
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("masked");

    const QByteArray key = KeyFrameBytes();
    const QByteArray query = vrx::ParameterQuery();
    QTest::newRow("key frame sent") << QByteArray() << false << key << true;
    QTest::newRow("key echo") << key << true << key << true;
    QTest::newRow("differing key echo") << key << true << QByteArray(key).replace(0, 4, "\0\0\0\0") << true;
    QTest::newRow("late key echo, after a query") << query << true << key << true;
    QTest::newRow("300-byte echo: past the frame too")
        << key << true << key + QByteArray(100, '\x55') << true;
    QTest::newRow("echo cut to 199 after a query") << query << true << key.first(199) << true;
    QTest::newRow("echo cut to 41 after a query") << query << true << key.first(41) << true;
    QTest::newRow("anything answering keys") << key << true << Block() << true;
    QTest::newRow("read reply") << query << true << Block() << false;
    QTest::newRow("query sent") << QByteArray() << false << query << false;
    QTest::newRow("block sent after keys") << key << false << Block() << false;
    QTest::newRow("a stranger's bytes") << Block() << true << QByteArray(100, '\x55') << false;
}

void TestTrafficLog::keyBytesAreMaskedWhereKeysCanBe() {
    QFETCH(QByteArray, sentBefore);
    QFETCH(bool, received);
    QFETCH(QByteArray, datagram);
    QFETCH(bool, masked);

    TrafficLog log = NewLog();
    if (!sentBefore.isEmpty())
        log.RecordSent(Reader, 1001, sentBefore);
    if (received)
        log.RecordReceived(Reader, 1001, datagram, DatagramVerdict::Taken, 31);
    else
        log.RecordSent(Reader, 1001, datagram);

    const qsizetype row = log.RowCount() - 1;
    QCOMPARE(Text(log, row, Column::Bytes, false),
             HexWithMask(datagram, [&](int i) { return masked && KeyPosition(i); }));
    QCOMPARE(Text(log, row, Column::Bytes, true), HexWithMask(datagram, [](int) { return false; }));
}

void TestTrafficLog::newestTenThousandRowsAreKept() {
    TrafficLog log = NewLog();
    int changes = 0;
    log.SetChangeListener([&] { ++changes; });
    // The port tells the rows apart: row n is sent to port n.
    for (int n = 0; n < TrafficLog::MaxRows + 5; ++n)
        log.RecordSent(Reader, quint16(n), vrx::ParameterQuery());

    QCOMPARE(TrafficLog::MaxRows, 10000);
    QCOMPARE(log.RowCount(), 10000);
    QCOMPARE(log.FirstNumber(), 5u);
    QCOMPARE(Text(log, 0, Column::Peer, false), QStringLiteral("192.168.0.101:5"));
    QCOMPARE(Text(log, 9999, Column::Peer, false), QStringLiteral("192.168.0.101:10004"));
    QCOMPARE(changes, 10005);
}

void TestTrafficLog::clearEmptiesAndCountsOn() {
    TrafficLog log = NewLog();
    int changes = 0;
    log.SetChangeListener([&] { ++changes; });
    log.RecordSent(Reader, 1001, vrx::ParameterQuery());
    log.RecordReceived(Reader, 1001, Block(), DatagramVerdict::Taken, 21);
    log.Clear();
    QCOMPARE(log.RowCount(), 0);
    QCOMPARE(log.FirstNumber(), 2u);
    QCOMPARE(changes, 3);
    log.RecordSent(Reader, 1002, vrx::ParameterQuery());
    QCOMPARE(log.FirstNumber(), 2u);
    QCOMPARE(Text(log, 0, Column::Peer, false), QStringLiteral("192.168.0.101:1002"));
}

void TestTrafficLog::copyTextIsTheRowsAsShown() {
    TrafficLog log = NewLog();
    log.RecordSent(Reader, 1001, vrx::ParameterQuery());
    log.RecordSendFailure(QStringLiteral("0.0.0.0"), 1001, KeyFrameBytes(),
                          vrx::SocketError(10000, QStringLiteral("无效地址")));

    const QStringList lines = vrx::TrafficCopyText(log, false).split(u'\n');
    QCOMPARE(lines.size(), 4); // titles, two rows, and the empty text after the last line feed
    QCOMPARE(lines[0], QStringLiteral("时间(ms)\t方向\t对方地址\t长度\t说明\t数据(十六进制)"));
    const QStringList query = lines[1].split(u'\t');
    QCOMPARE(query.size(), 6);
    QCOMPARE(query[0], Text(log, 0, Column::Time, false));
    QCOMPARE(query.mid(1),
             (QStringList{"发送", "192.168.0.101:1001", "8", "参数查询", "E6 E8 E0 E9 E3 E9 E3 E6"}));
    const QStringList failed = lines[2].split(u'\t');
    QCOMPARE(failed.mid(1, 4), (QStringList{"发送", "0.0.0.0:1001", "200", "密码帧，发送失败：无效地址"}));
    QCOMPARE(failed[5], HexWithMask(KeyFrameBytes(), KeyPosition));
    QVERIFY(lines[3].isEmpty());
    QVERIFY(
        vrx::TrafficCopyText(log, true).contains(HexWithMask(KeyFrameBytes(), [](int) { return false; })));
}

void TestTrafficLog::longDatagramKeepsItsHead() {
    TrafficLog log = NewLog();
    const QByteArray big(65507, '\x42');
    log.RecordReceived(Reader, 1001, big, DatagramVerdict::Taken, 32);
    QCOMPARE(Text(log, 0, Column::Length, false), QStringLiteral("65507"));
    QCOMPARE(Text(log, 0, Column::Bytes, true),
             HexWithMask(big.first(TrafficLog::KeptBytes), [](int) { return false; }) + QStringLiteral(" …"));
}

// The row keeps the wait's length as a value; it has no length and no bytes of its own to show.
void TestTrafficLog::noReplyRowGivesTheWaitInTheGivenWords() {
    TrafficLog log = NewLog();
    log.RecordNoReply(Reader, 1001, 200);
    QCOMPARE(log.RowCount(), 1);
    QCOMPARE(log.At(0).direction, TrafficLog::Direction::NoReply);
    QCOMPARE(log.At(0).length, 200);
    QCOMPARE(Text(log, 0, Column::Peer, false), Reader + QStringLiteral(":1001"));
    QCOMPARE(Text(log, 0, Column::Length, false), QString());
    QCOMPARE(Text(log, 0, Column::Meaning, false), QStringLiteral("200 ms 内没有回复"));
    QCOMPARE(Text(log, 0, Column::Bytes, true), QString());
}

void TestTrafficLog::timeHasTenthsOfMilliseconds_data() {
    QTest::addColumn<qint64>("nanoseconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("start") << qint64(0) << "0.0";
    QTest::newRow("below a tenth") << qint64(99'999) << "0.0";
    QTest::newRow("a tenth") << qint64(100'000) << "0.1";
    QTest::newRow("ms and tenths") << qint64(1'234'567'890) << "1234.5";
    QTest::newRow("an hour") << qint64(3'600'000'000'000) << "3600000.0";
}

void TestTrafficLog::timeHasTenthsOfMilliseconds() {
    QFETCH(qint64, nanoseconds);
    QFETCH(QString, text);
    QCOMPARE(TrafficLog::TimeText(std::chrono::nanoseconds(nanoseconds)), text);
}

QTEST_APPLESS_MAIN(TestTrafficLog)
#include "tst_trafficlog.moc"
