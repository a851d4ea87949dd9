#include "fields/HexText.h"

#include <QTest>

using namespace vrx;

Q_DECLARE_METATYPE(vrx::MacBytes)
Q_DECLARE_METATYPE(std::optional<vrx::MacBytes>)

class TestHexText : public QObject {
    Q_OBJECT

private slots:
    void readHexNumber_data();
    void readHexNumber();
    void parseMac_data();
    void parseMac();
    void macTextRoundTrip_data();
    void macTextRoundTrip();
    void macFromAddress();
};

void TestHexText::readHexNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("value");
    QTest::newRow("empty") << "" << 0u;
    QTest::newRow("12") << "12" << 0x12u;
    QTest::newRow("lower") << "ab" << 0xABu;
    QTest::newRow("upper") << "AB" << 0xABu;
    QTest::newRow("0FF") << "0FF" << 0xFFu;
    QTest::newRow("100") << "100" << 0x100u;
    QTest::newRow("1G stops at G") << "1G" << 0x01u;
    QTest::newRow("G first") << "G1" << 0u;
    QTest::newRow("blank inside") << "1 2" << 0x12u;
    QTest::newRow("tab and LF inside") << "\t1\n2 " << 0x12u;
    QTest::newRow("CR ends") << "1\r2" << 0x01u;
    QTest::newRow("full-width digit ends") << QStringLiteral("1２") << 0x01u;
    QTest::newRow("saturates") << "FFFFFFFFFFFFFFFFFFFF" << 0xFFFFFFFFu;
    QTest::newRow("saturates from 1 and zeros") << "1" + QString(40, u'0') << 0xFFFFFFFFu;
    QTest::newRow("leading zeros") << QString(1000, u'0') + "7F" << 0x7Fu;
    QTest::newRow("max exact") << "FFFFFFFF" << 0xFFFFFFFFu;
}

void TestHexText::readHexNumber() {
    QFETCH(QString, text);
    QFETCH(quint32, value);
    QCOMPARE(ReadHexNumber(text), value);
}

void TestHexText::parseMac_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<MacBytes>>("mac");
    const std::optional<MacBytes> refused;
    auto ok = [](MacBytes b) { return std::optional<MacBytes>(b); };

    QTest::newRow("example") << "00-14-C0-A8-00-65" << ok({0x00, 0x14, 0xC0, 0xA8, 0x00, 0x65});
    QTest::newRow("12-23-...") << "12-23-34-45-67-78" << ok({0x12, 0x23, 0x34, 0x45, 0x67, 0x78});
    QTest::newRow("single digits") << "1-2-3-4-5-6" << ok({1, 2, 3, 4, 5, 6});
    QTest::newRow("lower case") << "aa-bb-cc-dd-ee-ff" << ok({0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF});
    QTest::newRow("0FF") << "0FF-0-0-0-0-0" << ok({0xFF, 0, 0, 0, 0, 0});
    QTest::newRow("1G") << "1G-2-3-4-5-6" << ok({1, 2, 3, 4, 5, 6});
    QTest::newRow("empty inner group") << "11--33-44-55-66" << ok({0x11, 0, 0x33, 0x44, 0x55, 0x66});
    QTest::newRow("all groups empty") << "-----" << ok({0, 0, 0, 0, 0, 0});
    QTest::newRow("trailing dash") << "11-22-33-44-55-" << ok({0x11, 0x22, 0x33, 0x44, 0x55, 0});
    QTest::newRow("blanks around") << "  11-22-33-44-55-66 " << ok({0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
    QTest::newRow("blanks inside") << "1 1-2 2-33-44-55-6 6" << ok({0x11, 0x22, 0x33, 0x44, 0x55, 0x66});
    QTest::newRow("long leading zeros") << QString(500, u'0') + "1-2-3-4-5-6" << ok({1, 2, 3, 4, 5, 6});

    QTest::newRow("four dashes") << "12-23-34-45-67" << refused;
    QTest::newRow("colons") << "12:23:34:45:67:78" << refused;
    QTest::newRow("empty") << "" << refused;
    QTest::newRow("100 last") << "12-23-34-45-67-100" << refused;
    QTest::newRow("100 first") << "100-23-34-45-67-78" << refused;
    QTest::newRow("six dashes") << "11-22-33-44-55-66-" << refused;
    QTest::newRow("seven groups") << "11-22-33-44-55-66-77" << refused;
    QTest::newRow("many dashes") << QString(1000, u'-') << refused;
    QTest::newRow("huge group") << "FFFFFFFFFFFFFFFFFFFF-1-2-3-4-5" << refused;
    QTest::newRow("10000-digit group") << "1-2-3-4-5-" + QString(10000, u'F') << refused;
    QTest::newRow("256 wraps to 0? no") << "1-2-3-4-5-1" + QString(8, u'0') << refused;
}

void TestHexText::parseMac() {
    QFETCH(QString, text);
    QFETCH(std::optional<MacBytes>, mac);
    QCOMPARE(ParseMacText(text), mac);
}

void TestHexText::macTextRoundTrip_data() {
    QTest::addColumn<MacBytes>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zeros") << MacBytes{} << "00-00-00-00-00-00";
    QTest::newRow("0A..0F") << MacBytes{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F} << "0A-0B-0C-0D-0E-0F";
    QTest::newRow("example") << MacBytes{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E} << "00-1A-2B-3C-4D-5E";
    QTest::newRow("ff") << MacBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF} << "FF-FF-FF-FF-FF-FF";
}

void TestHexText::macTextRoundTrip() {
    QFETCH(MacBytes, bytes);
    QFETCH(QString, text);
    QCOMPARE(MacText(bytes), text);
    QCOMPARE(MacText(bytes).size(), 17);
    QCOMPARE(ParseMacText(text), std::optional<MacBytes>(bytes));
}

void TestHexText::macFromAddress() {
    QCOMPARE(MacFromAddress({192, 168, 0, 101}), QStringLiteral("00-14-C0-A8-00-65"));
    QCOMPARE(MacFromAddress({10, 1, 0, 0}), QStringLiteral("00-14-0A-01-00-00"));
    QCOMPARE(MacFromAddress({0, 0, 0, 0}), QStringLiteral("00-14-00-00-00-00"));
}

QTEST_APPLESS_MAIN(TestHexText)
#include "tst_hextext.moc"
