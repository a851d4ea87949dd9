// The field behaviours driven the way the operator drives them: real key and mouse events.
#include "WindowFixture.h"
#include "app/Form1.h"
#include "fields/AddressText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

using namespace vrx;

class TestForm1Fields : public QObject, public WindowFixture {
    Q_OBJECT

    FieldEdit *field(const QString &name) const { return form->findChild<FieldEdit *>(name); }

    // Puts the caret into the field as the operator would, with the window active.
    static void focus(QWidget *widget) {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY_WITH_TIMEOUT(widget->hasFocus(), 2000);
    }

    // Empties a field the way the operator does: select everything and delete it.
    static void clearByKeys(FieldEdit *edit) {
        focus(edit);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QVERIFY(edit->text().isEmpty());
    }

    QString mac() const { return form->TextMac[0]->text(); }

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void programWriteRaisesChangeEveryTime() {
        FieldEdit *gateway = form->Text1[2];
        QSignalSpy changes(gateway, &FieldEdit::Change);
        gateway->setText(gateway->text());
        QCOMPARE(changes.count(), 1);
        gateway->setText(QStringLiteral("10.0.0.1"));
        QCOMPARE(changes.count(), 2);
        gateway->setText(QStringLiteral("10.0.0.1"));
        QCOMPARE(changes.count(), 3);
    }

    void programWriteOfSameAddressRunsTheAutomaticMac() {
        form->Text1[0]->setText(QStringLiteral("10.0.0.1"));
        QCOMPARE(mac(), QStringLiteral("00-14-0A-00-00-01"));
        form->TextMac[0]->setText(QStringLiteral("00-00-00-00-00-00"));
        form->Text1[0]->setText(QStringLiteral("10.0.0.1")); // unchanged text, the rule still runs
        QCOMPARE(mac(), QStringLiteral("00-14-0A-00-00-01"));
    }

    void operatorEditRaisesChangeOncePerKeystroke() {
        FieldEdit *port = form->Text1[5];
        focus(port);
        port->end(false);
        QSignalSpy changes(port, &FieldEdit::Change);
        QTest::keyClick(port, Qt::Key_Backspace);
        QTest::keyClicks(port, QStringLiteral("9"));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(port->text(), QStringLiteral("1239"));
    }

    void writeToMacChangesNothingElse() {
        const QString address = form->Text1[0]->text();
        form->TextMac[0]->setText(QStringLiteral("AA-BB-CC-DD-EE-FF"));
        QCOMPARE(mac(), QStringLiteral("AA-BB-CC-DD-EE-FF"));
        QCOMPARE(form->Text1[0]->text(), address);
        QVERIFY(messages->shown.isEmpty());
    }

    void programWriteIsNotCutToTheLimit() {
        const QString longText = QStringLiteral("255.255.255.255.255");
        form->Text1[7]->setText(longText);
        QCOMPARE(form->Text1[7]->text(), longText);
        form->TextPass[3]->setText(QStringLiteral("00112233445566778899"));
        QCOMPARE(form->TextPass[3]->text(), QStringLiteral("00112233445566778899"));
        // ...but the operator cannot add to it.
        focus(form->Text1[7]);
        form->Text1[7]->end(false);
        QTest::keyClicks(form->Text1[7], QStringLiteral("1"));
        QCOMPARE(form->Text1[7]->text(), longText);
    }

    void typingLimits_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("target address") << "Text1_0"
                                        << "192.168.100.1011"
                                        << "192.168.100.101";
        QTest::newRow("target mask") << "Text1_1"
                                     << "255.255.255.2555"
                                     << "255.255.255.255";
        QTest::newRow("target gateway") << "Text1_2"
                                        << "1234567890123456"
                                        << "123456789012345";
        QTest::newRow("target server address") << "Text1_3"
                                               << "1234567890123456"
                                               << "123456789012345";
        QTest::newRow("target reader port") << "Text1_4"
                                            << "123456"
                                            << "12345";
        QTest::newRow("target server port") << "Text1_5"
                                            << "654321"
                                            << "65432";
        QTest::newRow("former address") << "Text1_6"
                                        << "1234567890123456"
                                        << "123456789012345";
        QTest::newRow("former server address") << "Text1_9"
                                               << "1234567890123456"
                                               << "123456789012345";
        QTest::newRow("former reader port") << "Text1_10"
                                            << "123456"
                                            << "12345";
        QTest::newRow("former server port") << "Text1_11"
                                            << "123456"
                                            << "12345";
        QTest::newRow("key") << "TextPass_31"
                             << "0123456789ABC"
                             << "0123456789AB";
        QTest::newRow("key A of sector 0") << "TextPass_0"
                                           << "abcdef0123456"
                                           << "abcdef012345";
        QTest::newRow("reader address, no limit") << "TextFindIP_0"
                                                  << "1.2.3.4.5.6.7.8.9.10.11.12"
                                                  << "1.2.3.4.5.6.7.8.9.10.11.12";
        QTest::newRow("computer address, no limit") << "TextPCIP" << QString(40, '7') << QString(40, '7');
    }

    void typingLimits() {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        FieldEdit *edit = field(name);
        QVERIFY(edit);
        clearByKeys(edit);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), kept);
    }

    void macLimitWhenEditable() {
        QTest::mouseClick(form->Check1, Qt::LeftButton);
        QVERIFY(form->TextMac[0]->isEnabled());
        clearByKeys(form->TextMac[0]);
        QTest::keyClicks(form->TextMac[0], QStringLiteral("00-14-01-02-03-045"));
        QCOMPARE(mac(), QStringLiteral("00-14-01-02-03-04"));
    }

    void pasteIsBoundByTheLimit() {
        QApplication::clipboard()->setText(QStringLiteral("123456789"));
        FieldEdit *port = form->Text1[4];
        clearByKeys(port);
        QTest::keyClick(port, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(port->text(), QStringLiteral("12345"));
        QTest::keyClick(port, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(port->text(), QStringLiteral("12345"));
    }

    void autoMacFollowsTyping() {
        FieldEdit *address = form->Text1[0];
        clearByKeys(address);
        QCOMPARE(mac(), QStringLiteral("00-14-00-00-00-00")); // the empty text reads 0.0.0.0
        const QList<std::pair<QString, QString>> steps = {
            {"1", "00-14-01-00-00-00"}, {"0", "00-14-0A-00-00-00"}, {".", "00-14-0A-00-00-00"},
            {"1", "00-14-0A-01-00-00"}, {".", "00-14-0A-01-00-00"}, {"2", "00-14-0A-01-02-00"},
            {".", "00-14-0A-01-02-00"}, {"3", "00-14-0A-01-02-03"}, {"0", "00-14-0A-01-02-1E"},
            {"0", "00-14-0A-01-02-1E"}, // 10.1.2.300: a group above 255 keeps the last MAC
        };
        for (const auto &[key, expected] : steps) {
            QTest::keyClicks(address, key);
            QCOMPARE(mac(), expected);
        }
        QCOMPARE(address->text(), QStringLiteral("10.1.2.300"));
        QVERIFY(!form->TextMac[0]->isEnabled());
        QVERIFY(messages->shown.isEmpty());
    }

    void autoMacWithTen() {
        FieldEdit *address = form->Text1[0];
        clearByKeys(address);
        QTest::keyClicks(address, QStringLiteral("10.1"));
        QCOMPARE(mac(), QStringLiteral("00-14-0A-01-00-00"));
        QTest::keyClicks(address, QStringLiteral(".2.3"));
        QCOMPARE(mac(), QStringLiteral("00-14-0A-01-02-03"));
    }

    void overflowWhileTyping() {
        FieldEdit *address = form->Text1[0];
        clearByKeys(address);
        QTest::keyClicks(address, QStringLiteral("1.2.3.4000"));
        QCOMPARE(mac(), QStringLiteral("00-14-01-02-03-28")); // from 1.2.3.40
        QVERIFY(messages->shown.isEmpty());
        QTest::keyClicks(address, QStringLiteral("0"));
        QCOMPARE(messages->shown, QStringList{OverflowDescription()});
        QCOMPARE(mac(), QStringLiteral("00-14-01-02-03-28"));
        QCOMPARE(address->text(), QStringLiteral("1.2.3.40000"));
    }

    void windowAddressParserReportsOverflowOnly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("messageCount");
        QTest::newRow("address") << " 192.168.0.101 " << true << 0;
        QTest::newRow("group above 255") << "1.2.3.256" << false << 0;
        QTest::newRow("letter") << "1.2.a.4" << false << 0;
        QTest::newRow("overflow") << "1.2.3.40000" << false << 1;
        QTest::newRow("ten thousand digits") << QString(10000, '9') << false << 1;
    }

    void windowAddressParserReportsOverflowOnly() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, messageCount);
        AddressBytes bytes{};
        QCOMPARE(form->ParseIpAddress(text, bytes), valid);
        QCOMPARE(messages->shown.size(), messageCount);
        if (messageCount)
            QCOMPARE(messages->shown.first(), OverflowDescription());
        if (valid)
            QCOMPARE(bytes, (AddressBytes{192, 168, 0, 101}));
    }

    void otherFieldsNeverTouchTheMac() {
        for (int index = 1; index < 12; ++index) {
            clearByKeys(form->Text1[index]);
            QTest::keyClicks(form->Text1[index], QStringLiteral("10.1"));
            form->Text1[index]->setText(QStringLiteral("10.2.3.4"));
        }
        QCOMPARE(mac(), QStringLiteral("00-14-C0-A8-00-65"));
    }

    void untickLeavesTheMacAndEnablesIt() {
        QTest::mouseClick(form->Check1, Qt::LeftButton);
        QVERIFY(!form->Check1->isChecked());
        QVERIFY(form->TextMac[0]->isEnabled());
        QCOMPARE(mac(), QStringLiteral("00-14-C0-A8-00-65"));
        clearByKeys(form->Text1[0]);
        QTest::keyClicks(form->Text1[0], QStringLiteral("10.1.2.3"));
        QCOMPARE(mac(), QStringLiteral("00-14-C0-A8-00-65"));
    }

    void tickDerivesFromFormerAddress_data() {
        QTest::addColumn<QString>("former");
        QTest::addColumn<QString>("expected");
        QTest::newRow("former address") << "192.168.0.101"
                                        << "00-14-C0-A8-00-65";
        QTest::newRow("empty former address reads 0.0.0.0") << ""
                                                            << "00-14-00-00-00-00";
        QTest::newRow("letter keeps the text") << "192.168.a.1"
                                               << "AA-BB-CC-DD-EE-FF";
        QTest::newRow("group above 255 keeps the text") << "1.2.3.256"
                                                        << "AA-BB-CC-DD-EE-FF";
    }

    void tickDerivesFromFormerAddress() {
        QFETCH(QString, former);
        QFETCH(QString, expected);
        QTest::mouseClick(form->Check1, Qt::LeftButton); // untick
        clearByKeys(form->TextMac[0]);
        QTest::keyClicks(form->TextMac[0], QStringLiteral("AA-BB-CC-DD-EE-FF"));
        form->Text1[0]->setText(QStringLiteral("10.9.8.7")); // the target address plays no part
        form->Text1[6]->setText(former);
        QTest::mouseClick(form->Check1, Qt::LeftButton); // tick
        QVERIFY(form->Check1->isChecked());
        QVERIFY(!form->TextMac[0]->isEnabled());
        QCOMPARE(mac(), expected);
        QVERIFY(messages->shown.isEmpty());
    }

    void tickWithOverflowingFormerAddress() {
        QTest::mouseClick(form->Check1, Qt::LeftButton);
        form->Text1[6]->setText(QStringLiteral("1.2.3.40000"));
        QTest::mouseClick(form->Check1, Qt::LeftButton);
        QCOMPARE(messages->shown, QStringList{OverflowDescription()});
        QVERIFY(!form->TextMac[0]->isEnabled());
        QCOMPARE(mac(), QStringLiteral("00-14-C0-A8-00-65"));
    }

    void disabledMacTakesNoTyping() {
        QVERIFY(!form->TextMac[0]->isEnabled());
        QTest::keyClicks(form->TextMac[0], QStringLiteral("12"));
        QCOMPARE(mac(), QStringLiteral("00-14-C0-A8-00-65"));
    }

    void formerMacIsNeverEditable() {
        FieldEdit *former = form->TextMac[1];
        former->setEnabled(true); // even if something enabled it
        focus(former);
        former->end(false);
        QTest::keyClick(former, Qt::Key_Backspace);
        QTest::keyClicks(former, QStringLiteral("1"));
        QCOMPARE(former->text(), QStringLiteral("00-00-00-00-00-00"));
    }

    void caretGoesToStartOnTemplate() {
        const QString blankTemplate = QStringLiteral("   .   .   .   ");
        FieldEdit *gateway = form->Text1[2];
        gateway->setText(blankTemplate);
        focus(form->Text1[1]);
        gateway->setFocus(Qt::TabFocusReason); // a tab selects everything before the rule runs
        QTRY_VERIFY_WITH_TIMEOUT(gateway->hasFocus(), 2000);
        QCOMPARE(gateway->cursorPosition(), 0);
        QVERIFY(!gateway->hasSelectedText());
    }

    void caretUntouchedOnOtherText_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("address") << "192.168.0.1";
        QTest::newRow("template one blank short") << "   .   .   .  ";
        QTest::newRow("template with a trailing blank") << "   .   .   .    ";
    }

    void caretUntouchedOnOtherText() {
        QFETCH(QString, text);
        FieldEdit *gateway = form->Text1[2];
        gateway->setText(text);
        focus(form->Text1[1]);
        gateway->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY_WITH_TIMEOUT(gateway->hasFocus(), 2000);
        QCOMPARE(gateway->selectedText(), text);
        QCOMPARE(gateway->cursorPosition(), int(text.size()));
    }

    void keyFilter_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("added");
        const int none = Qt::NoModifier;
        const int shift = Qt::ShiftModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("g") << int(Qt::Key_G) << none << "g"
                           << "";
        QTest::newRow("G") << int(Qt::Key_G) << shift << "G"
                           << "";
        QTest::newRow("blank") << int(Qt::Key_Space) << none << " "
                               << "";
        QTest::newRow("minus") << int(Qt::Key_Minus) << none << "-"
                               << "";
        QTest::newRow("enter") << int(Qt::Key_Return) << none << "\r"
                               << "";
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << none << "\r"
                                      << "";
        QTest::newRow("escape") << int(Qt::Key_Escape) << none << "\x1b"
                                << "";
        QTest::newRow("ctrl+v with the control code") << int(Qt::Key_V) << ctrl << "\x16"
                                                      << "";
        QTest::newRow("ctrl+v with the letter") << int(Qt::Key_V) << ctrl << "v"
                                                << "";
        QTest::newRow("full-width digit") << int(Qt::Key_unknown) << none << QStringLiteral("１") << "";
        QTest::newRow("a kept lower case") << int(Qt::Key_A) << none << "a"
                                           << "a";
        QTest::newRow("f kept lower case") << int(Qt::Key_F) << none << "f"
                                           << "f";
        QTest::newRow("F") << int(Qt::Key_F) << shift << "F"
                           << "F";
        QTest::newRow("A") << int(Qt::Key_A) << shift << "A"
                           << "A";
        QTest::newRow("0") << int(Qt::Key_0) << none << "0"
                           << "0";
        QTest::newRow("9") << int(Qt::Key_9) << none << "9"
                           << "9";
    }

    void keyFilter() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(QString, added);
        QApplication::clipboard()->setText(QStringLiteral("AB"));
        FieldEdit *keyField = form->TextPass[17];
        clearByKeys(keyField);
        QTest::keyClicks(keyField, QStringLiteral("12"));
        QTest::sendKeyEvent(QTest::Click, keyField, Qt::Key(key), text, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(keyField->text(), QStringLiteral("12") + added);
        QTest::keyClick(keyField, Qt::Key_Backspace);
        QCOMPARE(keyField->text(), (QStringLiteral("12") + added).chopped(1));
    }

    void keyFieldEditingKeysStillWork() {
        FieldEdit *keyField = form->TextPass[0];
        focus(keyField);
        keyField->end(false);
        QTest::keyClick(keyField, Qt::Key_Backspace);
        QCOMPARE(keyField->text(), QStringLiteral("3C5A7E9B1D2"));
        QTest::keyClick(keyField, Qt::Key_Home);
        QTest::keyClick(keyField, Qt::Key_Delete);
        QCOMPARE(keyField->text(), QStringLiteral("C5A7E9B1D2"));
    }

    void keyFieldPasteKeepsHexDigitsOnly() {
        // Ctrl+V is a typed control character and is discarded; the edit menu's paste (and
        // Shift+Insert, drag and drop) brings in the hexadecimal digits of the text, at most 12.
        QApplication::clipboard()->setText(QStringLiteral("3c-5a 7e:9B\n1d2f77"));
        FieldEdit *keyField = form->TextPass[9];
        clearByKeys(keyField);
        keyField->paste();
        QCOMPARE(keyField->text(), QStringLiteral("3c5a7e9B1d2f"));
        clearByKeys(keyField);
        QTest::keyClick(keyField, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(keyField->text(), QStringLiteral("3c5a7e9B1d2f"));
    }

    void keyFilterOnlyInKeyFields() {
        FieldEdit *reader = form->TextFindIP[0];
        clearByKeys(reader);
        QTest::keyClicks(reader, QStringLiteral("g -"));
        QCOMPARE(reader->text(), QStringLiteral("g -"));
    }

    void keyPressHandlerDirect_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("result");
        for (char16_t c : u"0123456789ABCDEFabcdef\b")
            if (c)
                QTest::addRow("code %d kept", int(c)) << int(c) << int(c);
        for (int c : {0, 7, 9, 13, 22, 27, 32, 45, 47, 58, 64, 71, 96, 103, 127, 0xFF10, 0xFF41})
            QTest::addRow("code %d discarded", c) << c << 0;
    }

    void keyPressHandlerDirect() {
        QFETCH(int, code);
        QFETCH(int, result);
        char16_t key = char16_t(code);
        form->TextPass_KeyPress(5, key);
        QCOMPARE(int(key), result);
    }
};

QTEST_MAIN(TestForm1Fields)
#include "tst_form1fields.moc"
