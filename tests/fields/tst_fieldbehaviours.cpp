#include "fields/AutoMac.h"
#include "fields/CaretTemplate.h"
#include "fields/KeyFilter.h"

#include <QTest>

using namespace vrx;

class TestFieldBehaviours : public QObject {
    Q_OBJECT

private slots:
    void keyFilter_data();
    void keyFilter();
    void keyFilterWholeRange();
    void caretTemplate_data();
    void caretTemplate();
    void deriveMac_data();
    void deriveMac();
};

void TestFieldBehaviours::keyFilter_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0") << int('0') << true;
    QTest::newRow("9") << int('9') << true;
    QTest::newRow("a") << int('a') << true;
    QTest::newRow("f") << int('f') << true;
    QTest::newRow("A") << int('A') << true;
    QTest::newRow("F") << int('F') << true;
    QTest::newRow("backspace") << 8 << true;
    QTest::newRow("g") << int('g') << false;
    QTest::newRow("G") << int('G') << false;
    QTest::newRow("blank") << int(' ') << false;
    QTest::newRow("minus") << int('-') << false;
    QTest::newRow("enter") << 13 << false;
    QTest::newRow("ctrl+v") << 22 << false;
    QTest::newRow("nul") << 0 << false;
    QTest::newRow("full-width A") << 0xFF21 << false;
    QTest::newRow("full-width 1") << 0xFF11 << false;
    QTest::newRow("high surrogate") << 0xD83D << false;
}

void TestFieldBehaviours::keyFilter() {
    QFETCH(int, code);
    QFETCH(bool, accepted);
    QCOMPARE(IsKeyCharAccepted(char16_t(code)), accepted);
}

void TestFieldBehaviours::keyFilterWholeRange() {
    int count = 0;
    for (int code = 0; code <= 0xFFFF; ++code)
        count += IsKeyCharAccepted(char16_t(code)) ? 1 : 0;
    QCOMPARE(count, 10 + 6 + 6 + 1);
}

void TestFieldBehaviours::caretTemplate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("template") << "   .   .   .   " << true;
    QTest::newRow("address") << "192.168.0.101" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("one blank short") << "   .   .   .  " << false;
    QTest::newRow("one blank long") << "   .   .   .    " << false;
    QTest::newRow("tab instead of blank") << "\t  .   .   .   " << false;
}

void TestFieldBehaviours::caretTemplate() {
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(IsCaretTemplate(text), matches);
}

void TestFieldBehaviours::deriveMac_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("mac"); // null: no MAC
    QTest::addColumn<bool>("overflowed");
    QTest::newRow("example") << "192.168.0.101"
                             << "00-14-C0-A8-00-65" << false;
    QTest::newRow("blanks around") << "  192.168.0.101 "
                                   << "00-14-C0-A8-00-65" << false;
    QTest::newRow("partial") << "10.1"
                             << "00-14-0A-01-00-00" << false;
    QTest::newRow("complete") << "10.1.2.3"
                              << "00-14-0A-01-02-03" << false;
    QTest::newRow("empty") << ""
                           << "00-14-00-00-00-00" << false;
    QTest::newRow("letter") << "a" << QString() << false;
    QTest::newRow("group above 255") << "10.1.256" << QString() << false;
    QTest::newRow("overflow") << "10.1.40000" << QString() << true;
}

void TestFieldBehaviours::deriveMac() {
    QFETCH(QString, address);
    QFETCH(QString, mac);
    QFETCH(bool, overflowed);
    const DerivedMac derived = DeriveMacFromIp(address);
    QCOMPARE(derived.overflowed, overflowed);
    QCOMPARE(derived.mac.has_value(), !mac.isNull());
    if (derived.mac)
        QCOMPARE(*derived.mac, mac);
}

QTEST_APPLESS_MAIN(TestFieldBehaviours)
#include "tst_fieldbehaviours.moc"
