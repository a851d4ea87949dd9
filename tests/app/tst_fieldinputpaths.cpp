// Every road by which the operator's text reaches a field: the accessibility interface that screen
// readers and UI automation use, undo and redo, an input method's commit, a drop, and a write through
// the plain line edit (as a completer makes). Each raises the field's change handler once and is bound
// by the field's limit and filter; fields and lists are found by their accessible names.
#include "WindowFixture.h"
#include "app/Form1.h"
#include "fields/AutoMac.h"

#include <QAccessible>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace vrx;

namespace {

// Every control below `root` in the accessibility tree whose name is `name`. Grid cells are not
// controls: the row label cell "读卡器IP" shares its name with the reader-address field.
QList<QAccessibleInterface *> FindByName(QAccessibleInterface *root, const QString &name) {
    QList<QAccessibleInterface *> found;
    if (root->text(QAccessible::Name) == name && root->object() && root->object()->isWidgetType())
        found << root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface *child = root->child(i))
            found << FindByName(child, name);
    return found;
}

QString MacOf(const QString &address) {
    return DeriveMacFromIp(address).mac.value_or(QStringLiteral("no MAC"));
}

enum class Write { Value, Insert, Replace, Delete };

} // namespace

Q_DECLARE_METATYPE(Write)

class TestFieldInputPaths : public QObject, public WindowFixture {
    Q_OBJECT

    FieldEdit *field(const QString &name) const { return form->findChild<FieldEdit *>(name); }
    QString mac() const { return form->TextMac[0]->text(); }

    // The field's interface as an assistive tool reaches it: by name, from the window down.
    QAccessibleInterface *accessible(const QString &name) const {
        const QList<QAccessibleInterface *> found =
            FindByName(QAccessible::queryAccessibleInterface(form), name);
        return found.size() == 1 ? found.first() : nullptr;
    }

    static void focus(QWidget *widget) {
        widget->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY_WITH_TIMEOUT(widget->hasFocus(), 2000);
    }

private slots:
    void init() { QVERIFY(openWindow()); }
    void cleanup() { closeWindow(); }

    void accessibleNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("objectName");
        const QStringList rows = {"读卡器IP",       "读卡器子网掩码", "读卡器默认网关",
                                  "服务器计算机IP", "读卡器端口",     "服务器计算机端口"}; // by Text1 index
        for (int index = 0; index < 12; ++index) {
            const QString group = index < 6 ? QStringLiteral("目标IP信息 ") : QStringLiteral("原IP信息 ");
            QTest::addRow("Text1_%d", index)
                << group + rows[index % 6] << QStringLiteral("Text1_%1").arg(index);
        }
        QTest::newRow("target MAC") << "目标IP信息 MAC"
                                    << "TextMac_0";
        QTest::newRow("former MAC") << "原IP信息 MAC"
                                    << "TextMac_1";
        QTest::newRow("automatic box") << "目标IP信息 自动"
                                       << "Check1";
        const QList<std::pair<const char *, QString>> lists = {{"CombUDP", "读卡器协议"},
                                                               {"CombSend", "是否需发送心跳"},
                                                               {"CombBeep", "读卡时蜂鸣器"},
                                                               {"CombPass", "密码选择"}};
        for (const auto &[list, label] : lists) {
            QTest::addRow("%s_0", list)
                << "目标IP信息 " + label << QStringLiteral("%1_0").arg(QLatin1String(list));
            QTest::addRow("%s_1", list)
                << "原IP信息 " + label << QStringLiteral("%1_1").arg(QLatin1String(list));
        }
        // TextPass(j) is sector j's A key, (j+8) its B key, (j+16) and (j+24) those of sector j+8.
        for (int index = 0; index < 32; ++index) {
            const int sector = index % 8 + (index >= 16 ? 8 : 0);
            const QChar key = (index / 8) % 2 == 0 ? u'A' : u'B';
            QTest::addRow("TextPass_%d", index) << QStringLiteral("第%1区%2密码").arg(sector).arg(key)
                                                << QStringLiteral("TextPass_%1").arg(index);
        }
        QTest::newRow("reader address") << "读卡器IP"
                                        << "TextFindIP_0";
        QTest::newRow("computer address") << "本机IP"
                                          << "TextPCIP";
        QTest::newRow("read button keeps its caption") << "读取读卡器参数"
                                                       << "Command1";
    }
    void accessibleNames() {
        QFETCH(QString, name);
        QFETCH(QString, objectName);
        QAccessibleInterface *found = accessible(name);
        QVERIFY2(found, qPrintable(name + " is not exactly one control"));
        QCOMPARE(found->object()->objectName(), objectName);
    }

    // What a new user of a screen reader or an automation tool does first: set the reader address.
    void accessibleValueRunsTheAutomaticMac() {
        QAccessibleInterface *address = accessible(QStringLiteral("目标IP信息 读卡器IP"));
        QVERIFY(address);
        QSignalSpy changes(form->Text1[0], &FieldEdit::Change);
        address->setText(QAccessible::Value, QStringLiteral("10.1"));
        QCOMPARE(form->Text1[0]->text(), QStringLiteral("10.1"));
        QCOMPARE(address->text(QAccessible::Value), QStringLiteral("10.1"));
        QCOMPARE(mac(), QStringLiteral("00-14-0A-01-00-00"));
        QCOMPARE(changes.count(), 1);

        QAccessibleEditableTextInterface *editable = address->editableTextInterface();
        QVERIFY(editable);
        editable->insertText(4, QStringLiteral(".2.3"));
        QCOMPARE(form->Text1[0]->text(), QStringLiteral("10.1.2.3"));
        QCOMPARE(mac(), QStringLiteral("00-14-0A-01-02-03"));
        QCOMPARE(changes.count(), 2);
        QVERIFY(messages->shown.isEmpty());
    }

    void accessibleWritesKeepLimitAndFilter_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("before");
        QTest::addColumn<Write>("write");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        const QString key = QStringLiteral("3C5A7E9B1D2F");
        QTest::newRow("port value cut to 5") << "目标IP信息 读卡器端口"
                                             << "1234" << Write::Value << 0 << 0 << "123456"
                                             << "12345";
        QTest::newRow("address value cut to 15") << "原IP信息 读卡器默认网关"
                                                 << "" << Write::Value << 0 << 0 << "192.168.100.1011"
                                                 << "192.168.100.101";
        QTest::newRow("insert keeps its head") << "目标IP信息 服务器计算机端口"
                                               << "1234" << Write::Insert << 2 << 0 << "99"
                                               << "12934";
        QTest::newRow("insert into a full port") << "目标IP信息 服务器计算机端口"
                                                 << "12345" << Write::Insert << 0 << 0 << "9"
                                                 << "12345";
        QTest::newRow("delete") << "原IP信息 服务器计算机IP"
                                << "192.168.0.110" << Write::Delete << 7 << 13 << ""
                                << "192.168";
        QTest::newRow("key value keeps hex digits")
            << "第3区A密码" << key << Write::Value << 0 << 0 << "3c-5a 7e:9B\n1d2f77"
            << "3c5a7e9B1d2f";
        QTest::newRow("key insert of a letter")
            << "第12区B密码" << key.left(6) << Write::Insert << 6 << 0 << "g" << key.left(6);
        QTest::newRow("key replace past 12") << "第0区A密码" << key << Write::Replace << 0 << 2 << "aabb"
                                             << "aa5A7E9B1D2F";
        QTest::newRow("reader address has no limit") << "读卡器IP"
                                                     << "" << Write::Value << 0 << 0 << "1.2.3.4.5.6.7.8.9"
                                                     << "1.2.3.4.5.6.7.8.9";
    }
    void accessibleWritesKeepLimitAndFilter() {
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(Write, write);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, text);
        QFETCH(QString, after);
        QAccessibleInterface *target = accessible(name);
        QVERIFY(target);
        auto *edit = qobject_cast<FieldEdit *>(target->object());
        QVERIFY(edit);
        edit->setText(before);
        QSignalSpy changes(edit, &FieldEdit::Change);

        QAccessibleEditableTextInterface *editable = target->editableTextInterface();
        QVERIFY(editable);
        switch (write) {
        case Write::Value:
            target->setText(QAccessible::Value, text);
            break;
        case Write::Insert:
            editable->insertText(start, text);
            break;
        case Write::Replace:
            editable->replaceText(start, end, text);
            break;
        case Write::Delete:
            editable->deleteText(start, end);
            break;
        }
        QCOMPARE(edit->text(), after);
        QCOMPARE(changes.count(), after == before ? 0 : 1);
    }

    // The operator cannot edit the MAC while the automatic box is ticked, nor ever the former MAC;
    // neither can a tool on the operator's behalf.
    void accessibleWritesSpareFieldsTheOperatorCannotEdit_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("target MAC while automatic") << "目标IP信息 MAC";
        QTest::newRow("former MAC") << "原IP信息 MAC";
    }
    void accessibleWritesSpareFieldsTheOperatorCannotEdit() {
        QFETCH(QString, name);
        QAccessibleInterface *target = accessible(name);
        QVERIFY(target);
        const QString before = target->text(QAccessible::Value);
        QVERIFY(!target->state().editable);
        target->setText(QAccessible::Value, QStringLiteral("AA-BB-CC-DD-EE-FF"));
        target->editableTextInterface()->insertText(0, QStringLiteral("1"));
        target->editableTextInterface()->deleteText(0, 2);
        QCOMPARE(target->text(QAccessible::Value), before);
    }

    void accessibleMacEditableOnceUnticked() {
        QTest::mouseClick(form->Check1, Qt::LeftButton);
        QAccessibleInterface *target = accessible(QStringLiteral("目标IP信息 MAC"));
        QVERIFY(target->state().editable);
        target->setText(QAccessible::Value, QStringLiteral("00-14-01-02-03-045"));
        QCOMPARE(mac(), QStringLiteral("00-14-01-02-03-04"));
    }

    // A tool that writes the text part of an editable list (Qt's own line edit interface, which writes
    // with setText) moves the selection with it, as typing does.
    void accessibleListTextMovesTheSelection() {
        QAccessibleInterface *list = accessible(QStringLiteral("目标IP信息 读卡器协议"));
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::ComboBox);
        QCOMPARE(list->text(QAccessible::Value), QStringLiteral("UDP"));
        QAccessibleInterface *textPart = list->focusChild();
        QVERIFY(textPart && textPart->editableTextInterface());
        textPart->setText(QAccessible::Value, QStringLiteral("TCP服务器"));
        QCOMPARE(form->CombUDP[0]->currentIndex(), 1);
        textPart->editableTextInterface()->deleteText(3, 6);
        QCOMPARE(form->CombUDP[0]->currentText(), QStringLiteral("TCP"));
        QCOMPARE(form->CombUDP[0]->currentIndex(), -1);
    }

    // What a screen reader reads back: the text, the caret, the selection, where a character is.
    void accessibleTextReads() {
        QAccessibleInterface *target = accessible(QStringLiteral("目标IP信息 读卡器IP"));
        QAccessibleTextInterface *text = target->textInterface();
        QVERIFY(text);
        QCOMPARE(target->role(), QAccessible::EditableText);
        QCOMPARE(text->characterCount(), 13);
        QCOMPARE(text->text(4, 7), QStringLiteral("168"));
        text->setSelection(0, 4, 7);
        QCOMPARE(text->selectionCount(), 1);
        int start = -1;
        int end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(start, 4);
        QCOMPARE(end, 7);
        QCOMPARE(form->Text1[0]->selectedText(), QStringLiteral("168"));
        text->removeSelection(0);
        QCOMPARE(text->selectionCount(), 0);
        text->setCursorPosition(3);
        QCOMPARE(text->cursorPosition(), 3);
        for (int offset : {0, 5, 12}) {
            const QRect character = text->characterRect(offset);
            QVERIFY(!character.isEmpty());
            QCOMPARE(text->offsetAtPoint(character.center() - QPoint(character.width() / 4, 0)), offset);
        }
        QVERIFY(text->characterRect(13).isEmpty());
    }

    void undoAndRedoRaiseTheChangeHandler() {
        FieldEdit *address = form->Text1[0];
        focus(address);
        address->selectAll();
        QTest::keyClicks(address, QStringLiteral("10.1"));
        QCOMPARE(mac(), QStringLiteral("00-14-0A-01-00-00"));
        QSignalSpy changes(address, &FieldEdit::Change);

        QTest::keyClick(address, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(address->text() != QStringLiteral("10.1"));
        QCOMPARE(mac(), MacOf(address->text()));
        QCOMPARE(changes.count(), 1);

        address->redo(); // as the context menu's 重做 does
        QCOMPARE(address->text(), QStringLiteral("10.1"));
        QCOMPARE(mac(), QStringLiteral("00-14-0A-01-00-00"));
        QCOMPARE(changes.count(), 2);

        address->undo();
        QCOMPARE(mac(), MacOf(address->text()));
        QCOMPARE(changes.count(), 3);
    }

    // A committed composition is text the operator brings in: it raises the handler and meets the limit
    // and the filter; the composition alone changes nothing.
    void inputMethodCommit_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("commit");
        QTest::addColumn<QString>("after");
        QTest::newRow("reader address") << "Text1_0"
                                        << ""
                                        << "10.1"
                                        << "10.1";
        QTest::newRow("port cut to 5") << "Text1_4"
                                       << "1234"
                                       << "567"
                                       << "12345";
        QTest::newRow("key keeps hex digits") << "TextPass_8"
                                              << "12"
                                              << "g3ｈ4"
                                              << "1234";
    }
    void inputMethodCommit() {
        QFETCH(QString, name);
        QFETCH(QString, before);
        QFETCH(QString, commit);
        QFETCH(QString, after);
        FieldEdit *edit = field(name);
        edit->setText(before);
        focus(edit);
        edit->end(false);
        QSignalSpy changes(edit, &FieldEdit::Change);

        QInputMethodEvent composing(commit, {});
        QApplication::sendEvent(edit, &composing);
        QCOMPARE(edit->text(), before);
        QCOMPARE(changes.count(), 0);

        QInputMethodEvent committing;
        committing.setCommitString(commit);
        QApplication::sendEvent(edit, &committing);
        QCOMPARE(edit->text(), after);
        QCOMPARE(changes.count(), after == before ? 0 : 1);
        QCOMPARE(mac(), MacOf(form->Text1[0]->text()));
    }

    void dropRaisesTheChangeHandler_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QString>("after");
        QTest::newRow("reader address") << "Text1_0"
                                        << "10.1"
                                        << "10.1";
        QTest::newRow("port cut to 5") << "Text1_10"
                                       << "1234567"
                                       << "12345";
        QTest::newRow("key keeps hex digits") << "TextPass_20"
                                              << "ab-cd"
                                              << "abcd";
    }
    void dropRaisesTheChangeHandler() {
        QFETCH(QString, name);
        QFETCH(QString, dropped);
        QFETCH(QString, after);
        FieldEdit *edit = field(name);
        edit->setText(QString());
        QSignalSpy changes(edit, &FieldEdit::Change);
        QMimeData data;
        data.setText(dropped);
        // A drop reaches the widget that took the drag when it entered.
        const QPoint at(2, edit->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &drop);
        QCOMPARE(edit->text(), after);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(mac(), MacOf(form->Text1[0]->text()));
    }

    // A completer, or anything else holding the field as a plain line edit, writes past FieldEdit's own
    // setText; the change still reaches the handler, once.
    void plainLineEditWriteRaisesTheChangeHandler() {
        QLineEdit *plain = form->Text1[0];
        QSignalSpy changes(form->Text1[0], &FieldEdit::Change);
        plain->setText(QStringLiteral("10.1"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(mac(), QStringLiteral("00-14-0A-01-00-00"));
    }
};

QTEST_MAIN(TestFieldInputPaths)
#include "tst_fieldinputpaths.moc"
