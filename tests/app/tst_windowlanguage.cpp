// The window's two languages: the command line that picks one, the 语言 / Language menu that switches
// the whole window at once, and the choice remembered for the next run (in a settings folder of the
// test's own, never the user's).
#include "MenuDriver.h"
#include "VisibleTexts.h"
#include "WindowFixture.h"
#include "app/UserGuide.h"
#include "app/WindowCommandLine.h"
#include "app/WindowLanguage.h"

#include <QTextBrowser>

#include <QAccessible>
#include <QSettings>
#include <QTemporaryDir>

using namespace vrx;
using Action = WindowCommandLine::Action;

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(std::optional<Language>)

class TestWindowLanguage : public QObject, public WindowFixture {
    Q_OBJECT

    QTemporaryDir m_settings;

    // What a new run of the program does before it builds the window.
    void restart(std::optional<Language> requested) {
        closeWindow();
        UseLanguage(StartingLanguage(requested));
        QVERIFY(openWindow());
    }
    bool choose(const QString &menu, const QString &item) {
        QString failure;
        const bool chosen = ChooseMenuItem(form, menu, item, &failure);
        if (!chosen)
            qWarning("%s", qPrintable(failure));
        return chosen;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        RememberLanguage(Language::Chinese);
        UseLanguage(Language::Chinese);
        QVERIFY(openWindow());
    }
    void cleanup() { closeWindow(); }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<std::optional<Language>>("language");
        const std::optional<Language> none;
        QTest::newRow("nothing") << QStringList{} << Action::Run << none;
        QTest::newRow("--language en")
            << QStringList{"--language", "en"} << Action::Run << std::optional(Language::English);
        QTest::newRow("--language=zh")
            << QStringList{"--language=zh"} << Action::Run << std::optional(Language::Chinese);
        QTest::newRow("--language fr") << QStringList{"--language", "fr"} << Action::Refuse << none;
        QTest::newRow("--help") << QStringList{"--help"} << Action::PrintHelp << none;
        QTest::newRow("-h") << QStringList{"-h"} << Action::PrintHelp << none;
        QTest::newRow("--version") << QStringList{"--version"} << Action::PrintVersion << none;
        QTest::newRow("toolkit option not read as -v") << QStringList{"-reverse"} << Action::Refuse << none;
        QTest::newRow("help beside a toolkit option")
            << QStringList{"-platform", "offscreen", "--help"} << Action::PrintHelp << none;
        QTest::newRow("an address") << QStringList{"127.0.0.1"} << Action::Refuse << none;
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(std::optional<Language>, language);
        const WindowCommandLine read = ReadWindowCommandLine(QStringList{"vrx-config"} + arguments);
        QCOMPARE(read.action, action);
        QCOMPARE(read.language, language);
        if (action == Action::PrintHelp)
            QVERIFY(read.text.startsWith("Usage: vrx-config [options]") && read.text.contains("--language"));
        if (action == Action::PrintVersion)
            QCOMPARE(read.text, QStringLiteral("vrx-config %1\n").arg(VRX_VERSION));
        if (action == Action::Refuse)
            QVERIFY(!read.text.isEmpty());
    }

    void menuSwitchesAtOnceAndBack() {
        const QStringList chinese = VisibleTexts(form);
        QVERIFY(choose("语言", "English"));
        QTRY_COMPARE(form->MenuBar->actions().front()->text(), QStringLiteral("File"));
        QCOMPARE(CurrentLanguage(), Language::English);
        QVERIFY(form->findChild<QAction *>("EnglishAction")->isChecked());
        QVERIFY(choose("Language", "中文"));
        QTRY_COMPARE(form->MenuBar->actions().front()->text(), QStringLiteral("文件"));
        QCOMPARE(VisibleTexts(form), chinese);
        QVERIFY(form->findChild<QAction *>("ChineseAction")->isChecked());
    }

    // The guide covers its five subjects in either language, and follows a switch while open.
    void userGuideInTheWindowsLanguage() {
        QVERIFY(choose("帮助", "使用说明"));
        QTRY_VERIFY(form->UserGuideWindow && form->UserGuideWindow->isVisible());
        const auto guide = [this] { return form->UserGuideWindow->Text->toPlainText(); };
        for (const char *subject : {"读取读卡器参数", "查找读卡器", "导入密码", "通信记录", "出厂地址"})
            QVERIFY2(guide().contains(QString::fromUtf8(subject)), subject);
        QCOMPARE(form->UserGuideWindow->windowTitle(), QStringLiteral("使用说明"));
        QVERIFY(choose("语言", "English"));
        QTRY_COMPARE(form->UserGuideWindow->windowTitle(), QStringLiteral("User guide"));
        for (const char *subject :
             {"Read settings", "Find readers", "Import keys", "Traffic log", "factory address"})
            QVERIFY2(guide().contains(QString::fromUtf8(subject)), subject);
        QCOMPARE(WithChinese(VisibleTexts(form->UserGuideWindow)).join(u'\n'), QString());
    }

    // What assistive technology reads of a list box: its name, its value, its text and the selected item
    // of its popup list, all the current item, in either language.
    void listBoxesReadTheirCurrentItem_data() {
        QTest::addColumn<bool>("english");
        QTest::newRow("Chinese") << false;
        QTest::newRow("English") << true;
    }
    void listBoxesReadTheirCurrentItem() {
        QFETCH(bool, english);
        if (english)
            QVERIFY(choose("语言", "English"));
        QTRY_COMPARE(CurrentLanguage() == Language::English, english);
        QTRY_COMPARE(form->CombBeep[0]->currentText(),
                     english ? QStringLiteral("Beep") : QStringLiteral("发声"));
        // The target side's lists; the former side's stay empty until a read.
        const QList<ListBox *> lists = {form->CombUDP[0], form->CombSend[0], form->CombBeep[0],
                                        form->CombPass[0]};
        for (ListBox *list : lists) {
            QAccessibleInterface *box = QAccessible::queryAccessibleInterface(list);
            QVERIFY(box);
            const QString current = list->currentText();
            QVERIFY2(!current.isEmpty(), qPrintable(list->objectName()));
            QCOMPARE(box->text(QAccessible::Name), list->accessibleName());
            QCOMPARE(box->text(QAccessible::Value), current);
            QVERIFY(box->textInterface());
            QCOMPARE(box->textInterface()->text(0, box->textInterface()->characterCount()), current);
            QAccessibleInterface *popup = box->child(0);
            QVERIFY(popup);
            QStringList selected;
            for (int item = 0; item < popup->childCount(); ++item)
                if (popup->child(item)->state().selected)
                    selected << popup->child(item)->text(QAccessible::Name);
            QCOMPARE(selected, QStringList{current});
        }
        QAccessibleInterface *beep = QAccessible::queryAccessibleInterface(form->CombBeep[0]);
        QCOMPARE(beep->text(QAccessible::Value), english ? QStringLiteral("Beep") : QStringLiteral("发声"));
        QCOMPARE(beep->text(QAccessible::Name), english ? QStringLiteral("Settings to write Beep on read")
                                                        : QStringLiteral("目标IP信息 读卡时蜂鸣器"));
    }

    void topLevelWindowsSayWhatTheyAre() {
        QCOMPARE(QAccessible::queryAccessibleInterface(form)->role(), QAccessible::Window);
        QVERIFY(choose("工具", "通信记录"));
        QVERIFY(choose("工具", "查找读卡器…"));
        QVERIFY(choose("帮助", "使用说明"));
        const QMap<QString, QAccessible::Role> roles = {{"TrafficLog", QAccessible::Window},
                                                        {"FindReaders", QAccessible::Dialog},
                                                        {"UserGuide", QAccessible::Dialog}};
        for (auto role = roles.begin(); role != roles.end(); ++role) {
            QWidget *window = nullptr;
            QTRY_VERIFY((window = form->findChild<QWidget *>(role.key())));
            QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), role.value());
        }
    }

    void restartKeepsTheChoice() {
        QVERIFY(choose("语言", "English"));
        QCOMPARE(RememberedLanguage(), Language::English);
        restart(std::nullopt);
        QCOMPARE(form->MenuBar->actions().front()->text(), QStringLiteral("File"));
        QVERIFY(form->findChild<QAction *>("EnglishAction")->isChecked());
    }

    void commandLineOverridesForOneRun() {
        QVERIFY(choose("语言", "English"));
        restart(Language::Chinese);
        QCOMPARE(form->MenuBar->actions().front()->text(), QStringLiteral("文件"));
        QCOMPARE(RememberedLanguage(), Language::English); // not saved over
        restart(std::nullopt);
        QCOMPARE(form->MenuBar->actions().front()->text(), QStringLiteral("File"));
    }
};

QTEST_MAIN(TestWindowLanguage)
#include "tst_windowlanguage.moc"
