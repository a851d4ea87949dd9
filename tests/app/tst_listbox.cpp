// The list boxes as the operator uses them, on the real window.
#include "WindowFixture.h"
#include "app/Form1.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

using namespace vrx;

class TestListBox : public QObject, public WindowFixture {
    Q_OBJECT

    static void typeInto(ListBox *list, const QString &text) {
        list->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY_WITH_TIMEOUT(list->hasFocus(), 2000);
        list->lineEdit()->selectAll();
        QTest::keyClick(list->lineEdit(), Qt::Key_Backspace);
        typeText(list->lineEdit(), text);
    }

    // Latin letters come as key presses; Chinese arrives committed by the input method, one
    // character at a time.
    static void typeText(QWidget *edit, const QString &text) {
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClicks(edit, QString(c));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(edit, &commit);
            }
        }
    }

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void typedTextSelects_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("selected");
        QTest::newRow("no match") << "CombUDP_0"
                                  << "TCP" << -1;
        QTest::newRow("exact item") << "CombUDP_0"
                                    << "TCP客户端" << 2;
        QTest::newRow("case differs") << "CombUDP_0"
                                      << "udp" << -1;
        QTest::newRow("item with a blank") << "CombSend_0"
                                           << "发送 " << -1;
        QTest::newRow("heartbeat item") << "CombSend_0"
                                        << "不发送" << 0;
        QTest::newRow("former beeper") << "CombBeep_1"
                                       << "发声" << 1;
        QTest::newRow("former keys, no match") << "CombPass_1"
                                               << "内部" << -1;
    }

    void typedTextSelects() {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(int, selected);
        auto *list = form->findChild<ListBox *>(name);
        QVERIFY(list && list->isEditable());
        const int items = list->count();
        typeInto(list, typed);
        QCOMPARE(list->currentText(), typed);
        QCOMPARE(list->currentIndex(), selected);
        // Enter and leaving the box change neither the text nor the selection, and add nothing.
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        form->TextPCIP->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY_WITH_TIMEOUT(!list->hasFocus(), 2000);
        QCOMPARE(list->currentText(), typed);
        QCOMPARE(list->currentIndex(), selected);
        QCOMPARE(list->count(), items);
    }

    void typingOneCharacterAtATimeFollowsTheItems() {
        ListBox *list = form->CombUDP[0];
        typeInto(list, QStringLiteral("UD"));
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QStringLiteral("UD")); // no inline completion
        QTest::keyClicks(list->lineEdit(), QStringLiteral("P"));
        QCOMPARE(list->currentIndex(), 0);
        QTest::keyClicks(list->lineEdit(), QStringLiteral("x"));
        QCOMPARE(list->currentIndex(), -1);
        QCOMPARE(list->currentText(), QStringLiteral("UDPx"));
        QCOMPARE(list->lineEdit()->cursorPosition(), 4);
    }

    void pickOnlyTakesNoText_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("selected");
        QTest::newRow("beeper") << "CombBeep_0" << 1;
        QTest::newRow("keys") << "CombPass_0" << 0;
    }

    void pickOnlyTakesNoText() {
        QFETCH(QString, name);
        QFETCH(int, selected);
        auto *list = form->findChild<ListBox *>(name);
        QVERIFY(list);
        QVERIFY(!list->isEditable());
        QVERIFY(!list->lineEdit());
        list->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY_WITH_TIMEOUT(list->hasFocus(), 2000);
        QTest::keyClicks(list, QStringLiteral("xyz 1"));
        QCOMPARE(list->currentIndex(), selected);
        QCOMPARE(list->currentText(), list->itemText(selected));
        QCOMPARE(list->count(), 2);
        // The operator can still pick the other item.
        QTest::keyClick(list, selected == 0 ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(list->currentIndex(), 1 - selected);
    }

    void programTextWrite() {
        ListBox *former = form->CombUDP[1];
        former->setText(QStringLiteral("未知协议"));
        QCOMPARE(former->currentText(), QStringLiteral("未知协议"));
        QCOMPARE(former->currentIndex(), -1);
        former->setText(QStringLiteral("TCP服务器"));
        QCOMPARE(former->currentIndex(), 1);
        former->setText(QString());
        QCOMPARE(former->currentIndex(), -1);
        QCOMPARE(former->currentText(), QString());
        QCOMPARE(former->count(), 3);

        ListBox *pick = form->CombBeep[0];
        pick->setText(QStringLiteral("不发声"));
        QCOMPARE(pick->currentIndex(), 0);
        pick->setText(QStringLiteral("nothing"));
        QCOMPARE(pick->currentIndex(), -1);
    }

    void selectionByProgram() {
        ListBox *list = form->CombSend[1];
        list->setCurrentIndex(1);
        QCOMPARE(list->currentText(), QStringLiteral("发送"));
        list->setCurrentIndex(-1);
        QCOMPARE(list->currentText(), QString());
    }
};

QTEST_MAIN(TestListBox)
#include "tst_listbox.moc"
