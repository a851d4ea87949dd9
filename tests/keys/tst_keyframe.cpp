#include "keys/KeyFrame.h"
#include "words/FieldWords.h"

#include <QTest>

using namespace vrx;

namespace {

constexpr char Untouched = char(0xAA);

// Key field i holds a distinct key: sector s, A or B, as 12 hex digits "s s A/B 0 1 2 ...".
QString distinctKey(int field) {
    const int sector = KeyFrame::sectorOfField(field);
    const QChar kind = KeyFrame::isBKeyField(field) ? u'B' : u'A';
    return QString::number(sector, 16).rightJustified(2, u'0').toUpper() + kind + QStringLiteral("0123456FF");
}

QStringList distinctKeys() {
    QStringList keys;
    for (int i = 0; i < KeyFrame::KeyFieldCount; ++i)
        keys << distinctKey(i);
    return keys;
}

} // namespace

class TestKeyFrame : public QObject {
    Q_OBJECT

private slots:
    void fieldMapping_data();
    void fieldMapping();
    void fieldOfInvertsTheMapping();
    void defaultKeys();
    void distinctKeysLandInPlace();
    void shortKey_data();
    void shortKey();
    void lowerCaseEqualsUpperCase();
    void blanksAroundKey();
    void readHexPair_data();
    void readHexPair();
    void hostileKeyTexts_data();
    void hostileKeyTexts();
    void hasMarkers_data();
    void hasMarkers();
};

void TestKeyFrame::fieldMapping_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("sector");
    QTest::addColumn<bool>("bKey");
    QTest::newRow("0") << 0 << 0 << false;
    QTest::newRow("7") << 7 << 7 << false;
    QTest::newRow("8") << 8 << 0 << true;
    QTest::newRow("15") << 15 << 7 << true;
    QTest::newRow("16") << 16 << 8 << false;
    QTest::newRow("23") << 23 << 15 << false;
    QTest::newRow("24") << 24 << 8 << true;
    QTest::newRow("31") << 31 << 15 << true;
}

void TestKeyFrame::fieldMapping() {
    QFETCH(int, field);
    QFETCH(int, sector);
    QFETCH(bool, bKey);
    QCOMPARE(KeyFrame::sectorOfField(field), sector);
    QCOMPARE(KeyFrame::isBKeyField(field), bKey);
}

void TestKeyFrame::fieldOfInvertsTheMapping() {
    for (int field = 0; field < KeyFrame::KeyFieldCount; ++field)
        QCOMPARE(KeyFrame::fieldOf(KeyFrame::sectorOfField(field), KeyFrame::isBKeyField(field)), field);
}

void TestKeyFrame::defaultKeys() {
    const QStringList keys(KeyFrame::KeyFieldCount, QStringLiteral("FFFFFFFFFFFF"));
    QByteArray frame;
    const KeyFrameOutcome outcome = BuildKeyFrame(keys, frame);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.shortField, -1);
    QCOMPARE(frame.size(), KeyFrame::Size);
    QCOMPARE(frame.toHex(), QByteArray("e1e1e1e1" + QByteArray(192 * 2, 'f') + "1e1e1e1e"));
    QVERIFY(KeyFrame::hasMarkers(frame));
}

void TestKeyFrame::distinctKeysLandInPlace() {
    QByteArray frame(KeyFrame::Size, Untouched);
    QVERIFY(BuildKeyFrame(distinctKeys(), frame).ok);
    QCOMPARE(frame.left(4), QByteArray::fromHex("E1E1E1E1"));
    QCOMPARE(frame.right(4), QByteArray::fromHex("1E1E1E1E"));
    // Sector 0 at 4..15, sector 8 at 100..111, sector 15 at 184..195.
    QCOMPARE(frame.mid(4, 12).toHex(), QByteArray("00a0123456ff00b0123456ff"));
    QCOMPARE(frame.mid(100, 12).toHex(), QByteArray("08a0123456ff08b0123456ff"));
    QCOMPARE(frame.mid(184, 12).toHex(), QByteArray("0fa0123456ff0fb0123456ff"));
    for (int s = 0; s < KeyFrame::SectorCount; ++s) {
        QCOMPARE(quint8(frame.at(KeyFrame::aKeyOffset(s))), quint8(s));
        QCOMPARE(quint8(frame.at(KeyFrame::aKeyOffset(s) + 1)), quint8(0xA0));
        QCOMPARE(quint8(frame.at(KeyFrame::bKeyOffset(s))), quint8(s));
        QCOMPARE(quint8(frame.at(KeyFrame::bKeyOffset(s) + 1)), quint8(0xB0));
    }
    QVERIFY(!frame.contains(Untouched));
}

void TestKeyFrame::shortKey_data() {
    QTest::addColumn<QList<int>>("shortFields");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("writtenSectors"); // sectors fully written before the stop

    // Field numbers: A of s<8 is s, B of s<8 is s+8, A of s>=8 is s+8, B of s>=8 is s+16.
    QTest::newRow("A of sector 0") << QList<int>{0} << "第0区A密码长度小于12！" << QList<int>{};
    QTest::newRow("B of sector 0") << QList<int>{8} << "第0区B密码长度小于12！" << QList<int>{};
    QTest::newRow("8B before 3A") << QList<int>{3, 24} << "第8区B密码长度小于12！" << QList<int>{0};
    QTest::newRow("A of sector 15") << QList<int>{23} << "第15区A密码长度小于12！"
                                    << QList<int>{0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7};
    QTest::newRow("B of sector 15") << QList<int>{31} << "第15区B密码长度小于12！"
                                    << QList<int>{0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7};
    QTest::newRow("B of 1 stops before A of 9")
        << QList<int>{9, 17} << "第1区B密码长度小于12！" << QList<int>{0, 8};
}

void TestKeyFrame::shortKey() {
    QFETCH(QList<int>, shortFields);
    QFETCH(QString, message);
    QFETCH(QList<int>, writtenSectors);

    QStringList keys = distinctKeys();
    for (int field : shortFields)
        keys[field] = QStringLiteral("  0123456789A  "); // 11 characters once trimmed
    QByteArray frame(KeyFrame::Size, Untouched);
    const KeyFrameOutcome outcome = BuildKeyFrame(keys, frame);
    QVERIFY(!outcome.ok);
    QCOMPARE(ShortKeyText(outcome.shortField), message); // the window's words for the typed field
    QVERIFY(KeyFrame::hasMarkers(frame));

    const int stopSector = message.mid(1, message.indexOf(u'区') - 1).toInt();
    const bool stoppedAtB = message.contains(u'B');
    const QByteArray untouched(6, Untouched);
    for (int s = 0; s < KeyFrame::SectorCount; ++s) {
        const QByteArray a = frame.mid(KeyFrame::aKeyOffset(s), 6);
        const QByteArray b = frame.mid(KeyFrame::bKeyOffset(s), 6);
        const bool written = writtenSectors.contains(s);
        const bool aWritten = written || (s == stopSector && stoppedAtB);
        QCOMPARE(a == untouched, !aWritten);
        QCOMPARE(b == untouched, !written);
        if (aWritten)
            QCOMPARE(a.toHex(), (QByteArray(1, char(s)) + QByteArray::fromHex("A0123456FF")).toHex());
    }
}

void TestKeyFrame::lowerCaseEqualsUpperCase() {
    QStringList upper, lower;
    for (int i = 0; i < KeyFrame::KeyFieldCount; ++i) {
        upper << QStringLiteral("A1B2C3D4E5F%1").arg(i % 10);
        lower << upper.last().toLower();
    }
    QByteArray upperFrame, lowerFrame;
    QVERIFY(BuildKeyFrame(upper, upperFrame).ok);
    QVERIFY(BuildKeyFrame(lower, lowerFrame).ok);
    QCOMPARE(lowerFrame.toHex(), upperFrame.toHex());
    QCOMPARE(upperFrame.mid(4, 6).toHex(), QByteArray("a1b2c3d4e5f0"));
}

void TestKeyFrame::blanksAroundKey() {
    QStringList plain(KeyFrame::KeyFieldCount, QStringLiteral("0123456789AB"));
    QStringList padded(KeyFrame::KeyFieldCount, QStringLiteral(" 0123456789AB "));
    QByteArray a, b;
    QVERIFY(BuildKeyFrame(plain, a).ok);
    QVERIFY(BuildKeyFrame(padded, b).ok);
    QCOMPARE(b.toHex(), a.toHex());
}

void TestKeyFrame::readHexPair_data() {
    QTest::addColumn<QString>("pair");
    QTest::addColumn<int>("value");
    QTest::newRow("FF") << "FF" << 0xFF;
    QTest::newRow("ff") << "ff" << 0xFF;
    QTest::newRow("0a") << "0a" << 0x0A;
    QTest::newRow("a0") << "A0" << 0xA0;
    QTest::newRow("blank then digit") << " 7" << 0x07;
    QTest::newRow("digit then blank") << "7 " << 0x07;
    QTest::newRow("tab inside") << "\t7" << 0x07;
    QTest::newRow("LF inside") << "7\n" << 0x07;
    QTest::newRow("digit then G") << "7G" << 0x07;
    QTest::newRow("G then digit") << "G7" << 0x00;
    QTest::newRow("minus") << "-1" << 0x00;
    QTest::newRow("full-width") << QStringLiteral("１1") << 0x00;
    QTest::newRow("only two read") << "123" << 0x12;
    QTest::newRow("empty") << "" << 0x00;
}

void TestKeyFrame::readHexPair() {
    QFETCH(QString, pair);
    QFETCH(int, value);
    QCOMPARE(int(ReadHexPair(pair)), value);
}

void TestKeyFrame::hostileKeyTexts_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("bytes"); // the six bytes of sector 0's A key
    QTest::newRow("chars after 12th ignored") << "0123456789ABCDEF" << QByteArray::fromHex("0123456789AB");
    QTest::newRow("letters mixed in") << "0G12ZZ3 4 5x" << QByteArray::fromHex("001200030405");
    QTest::newRow("inner blanks") << "01 23 45 67 89AB" << QByteArray::fromHex("010203450607");
    QTest::newRow("nul chars") << QString(12, QChar(0)) << QByteArray(6, '\0');
    QTest::newRow("surrogate pairs") << QString::fromUtf16(
                                            u"\U0001F511\U0001F511\U0001F511\U0001F511\U0001F511\U0001F511")
                                     << QByteArray(6, '\0');
    QTest::newRow("10000 chars") << QString(10000, u'E') << QByteArray::fromHex("EEEEEEEEEEEE");
}

void TestKeyFrame::hostileKeyTexts() {
    QFETCH(QString, key);
    QFETCH(QByteArray, bytes);
    QStringList keys(KeyFrame::KeyFieldCount, QStringLiteral("FFFFFFFFFFFF"));
    keys[0] = key;
    QByteArray frame;
    QVERIFY(BuildKeyFrame(keys, frame).ok);
    QCOMPARE(frame.size(), KeyFrame::Size);
    QCOMPARE(frame.mid(KeyFrame::aKeyOffset(0), 6).toHex(), bytes.toHex());
    QCOMPARE(frame.mid(KeyFrame::bKeyOffset(0), 6).toHex(), QByteArray("ffffffffffff"));
}

void TestKeyFrame::hasMarkers_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("marked");
    const QByteArray good =
        QByteArray::fromHex("E1E1E1E1") + QByteArray(192, '\x5A') + QByteArray::fromHex("1E1E1E1E");
    QTest::newRow("good") << good << true;
    QTest::newRow("longer echo") << good + QByteArray(10, '\x33') << true;
    QTest::newRow("short") << good.left(199) << false;
    QTest::newRow("empty") << QByteArray() << false;
    QByteArray badStart = good;
    badStart[0] = '\xE2';
    QTest::newRow("bad start") << badStart << false;
    QByteArray badEnd = good;
    badEnd[199] = '\x1F';
    QTest::newRow("bad end") << badEnd << false;
}

void TestKeyFrame::hasMarkers() {
    QFETCH(QByteArray, frame);
    QFETCH(bool, marked);
    QCOMPARE(KeyFrame::hasMarkers(frame), marked);
}

QTEST_APPLESS_MAIN(TestKeyFrame)
#include "tst_keyframe.moc"
