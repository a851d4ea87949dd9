#include "fields/AddressText.h"

#include <QTest>

using namespace vrx;

Q_DECLARE_METATYPE(vrx::AddressParseStatus)
Q_DECLARE_METATYPE(vrx::AddressBytes)

class TestAddressText : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void parseLeavesInputUntouched();
    void byteToHex_data();
    void byteToHex();
    void byteToHexAllValues();
    void isAllDigits_data();
    void isAllDigits();
    void dottedText_data();
    void dottedText();
    void trimBlanks_data();
    void trimBlanks();
    void overflowDescription();
};

void TestAddressText::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<AddressParseStatus>("status");
    QTest::addColumn<AddressBytes>("bytes");

    using S = AddressParseStatus;
    auto row = [](const char *name, const QString &text, S status, AddressBytes bytes) {
        QTest::newRow(name) << text << status << bytes;
    };
    row("plain", "192.168.0.101", S::Valid, {192, 168, 0, 101});
    row("blanks around", "   192.168.0.101  ", S::Valid, {192, 168, 0, 101});
    row("three groups", "192.168.0", S::Valid, {192, 168, 0, 0});
    row("one group", "1", S::Valid, {1, 0, 0, 0});
    row("empty", "", S::Valid, {0, 0, 0, 0});
    row("single blank", " ", S::Valid, {0, 0, 0, 0});
    row("double dot", "1..2", S::Valid, {1, 0, 2, 0});
    row("five groups", "1.2.3.4.5", S::Valid, {1, 2, 3, 4});
    row("letters after fourth dot", "1.2.3.4.abc", S::Valid, {1, 2, 3, 4});
    row("overflow after fourth dot", "1.2.3.4.99999999", S::Valid, {1, 2, 3, 4});
    row("blank joins digits", "1.2.3.4 5", S::Valid, {1, 2, 3, 45});
    row("blank inside group", "1 9 2.1 6 8.0.1", S::Valid, {192, 168, 0, 1});
    row("leading zeros", "010.001.000.255", S::Valid, {10, 1, 0, 255});
    row("many leading zeros", "000000000000001.2.3.4", S::Valid, {1, 2, 3, 4});
    row("only dots", "...", S::Valid, {0, 0, 0, 0});
    row("four dots", "....", S::Valid, {0, 0, 0, 0});
    row("template", "   .   .   .   ", S::Valid, {0, 0, 0, 0});
    row("255 everywhere", "255.255.255.255", S::Valid, {255, 255, 255, 255});
    row("trailing dot", "10.1.", S::Valid, {10, 1, 0, 0});

    row("256 first", "256.1.1.1", S::Invalid, {});
    row("256 last", "1.2.3.256", S::Invalid, {1, 2, 3, 0});
    row("letter", "1.2.a.4", S::Invalid, {1, 2, 0, 0});
    row("minus", "1.-2.3.4", S::Invalid, {1, 0, 0, 0});
    row("32767 is only invalid", "1.32767", S::Invalid, {1, 0, 0, 0});
    row("tab is not a blank", "1.2.3.4\t", S::Invalid, {1, 2, 3, 0});
    row("inner tab", "1.\t2", S::Invalid, {1, 0, 0, 0});
    row("full-width digits", QStringLiteral("１.２.３.４"), S::Invalid, {});
    row("full-width dot", QStringLiteral("1。2"), S::Invalid, {});
    row("arabic-indic digit", QString(QChar(0x0661)), S::Invalid, {});
    row("nul char", QString::fromUtf16(u"1.2\u00003.4", 7), S::Invalid, {1, 0, 0, 0});
    row("surrogate pair", QString::fromUtf16(u"1.\U0001D7CE"), S::Invalid, {1, 0, 0, 0});
    row("lone surrogate", QString(QChar(0xD800)), S::Invalid, {});
    row("non-breaking space", QString::fromUtf16(u"\u00A01.2.3.4"), S::Invalid, {});

    row("overflow last", "1.2.3.40000", S::Overflow, {1, 2, 3, 0});
    row("32768", "32768", S::Overflow, {});
    row("overflow first", "40000.1.1.1", S::Overflow, {});
    row("overflow via blank join", "1.2.3.4 0000", S::Overflow, {1, 2, 3, 0});
    row("65536 does not wrap", "65536", S::Overflow, {});
    row("65792 does not wrap to 256", "65792.1.1.1", S::Overflow, {});
    row("10000 digits", QString(10000, u'9'), S::Overflow, {});
    row("10000 zeros then 1", QString(10000, u'0') + u'1', S::Valid, {1, 0, 0, 0});
    // The walk stops at the first bad group, so a later overflow is never seen.
    row("invalid before overflow", "256.1.1.40000", S::Invalid, {});
    row("letter before overflow", "1.x.1.40000", S::Invalid, {1, 0, 0, 0});
    row("overflow before letter", "40000.x", S::Overflow, {});
}

void TestAddressText::parse() {
    QFETCH(QString, text);
    QFETCH(AddressParseStatus, status);
    QFETCH(AddressBytes, bytes);

    const AddressParse result = ParseIpAddress(text);
    QCOMPARE(result.status, status);
    QCOMPARE(result.bytes, bytes);
    QCOMPARE(result.ok(), status == AddressParseStatus::Valid);
    QCOMPARE(result.overflowed(), status == AddressParseStatus::Overflow);
}

void TestAddressText::parseLeavesInputUntouched() {
    const QString text = QStringLiteral("  1.2.3.4  ");
    ParseIpAddress(text);
    QCOMPARE(text, QStringLiteral("  1.2.3.4  "));
}

void TestAddressText::byteToHex_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("hex");
    QTest::newRow("0") << 0 << "00";
    QTest::newRow("9") << 9 << "09";
    QTest::newRow("10") << 10 << "0A";
    QTest::newRow("15") << 15 << "0F";
    QTest::newRow("16") << 16 << "10";
    QTest::newRow("171") << 171 << "AB";
    QTest::newRow("255") << 255 << "FF";
}

void TestAddressText::byteToHex() {
    QFETCH(int, value);
    QFETCH(QString, hex);
    QCOMPARE(ByteToHex(quint8(value)), hex);
}

void TestAddressText::byteToHexAllValues() {
    for (int v = 0; v < 256; ++v) {
        const QString hex = ByteToHex(quint8(v));
        QCOMPARE(hex.size(), 2);
        QCOMPARE(hex, hex.toUpper());
        QCOMPARE(hex.toInt(nullptr, 16), v);
    }
}

void TestAddressText::isAllDigits_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("digits");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("blanks only") << "    " << true;
    QTest::newRow("zero") << "0" << true;
    QTest::newRow("blanks around") << "  1234 " << true;
    QTest::newRow("no length limit") << QString(5000, u'9') << true;
    QTest::newRow("99999") << "99999" << true;
    QTest::newRow("12a") << "12a" << false;
    QTest::newRow("inner blank") << "12 34" << false;
    QTest::newRow("full-width") << QStringLiteral("１２３") << false;
    QTest::newRow("sign") << "+12" << false;
    QTest::newRow("tab around") << "\t12" << false;
    QTest::newRow("nul") << QString(QChar(0)) << false;
}

void TestAddressText::isAllDigits() {
    QFETCH(QString, text);
    QFETCH(bool, digits);
    QCOMPARE(IsAllDigits(text), digits);
}

void TestAddressText::dottedText_data() {
    QTest::addColumn<AddressBytes>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("example") << AddressBytes{192, 168, 0, 101} << "192.168.0.101";
    QTest::newRow("zeros") << AddressBytes{0, 0, 0, 0} << "0.0.0.0";
    QTest::newRow("max") << AddressBytes{255, 255, 255, 255} << "255.255.255.255";
}

void TestAddressText::dottedText() {
    QFETCH(AddressBytes, bytes);
    QFETCH(QString, text);
    QCOMPARE(DottedText(bytes), text);
    QCOMPARE(ParseIpAddress(text).bytes, bytes);
}

void TestAddressText::trimBlanks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("blanks") << "   "
                            << "";
    QTest::newRow("around") << "  a b  "
                            << "a b";
    QTest::newRow("tabs kept") << "\t a \n"
                               << "\t a \n";
    QTest::newRow("ideographic space kept") << QStringLiteral("　a") << QStringLiteral("　a");
}

void TestAddressText::trimBlanks() {
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(TrimBlanks(text), trimmed);
}

void TestAddressText::overflowDescription() {
    QVERIFY(!OverflowDescription().isEmpty());
    QVERIFY(OverflowDescription().contains(QStringLiteral("溢出")));
}

QTEST_APPLESS_MAIN(TestAddressText)
#include "tst_addresstext.moc"
