// The window's two languages: the command line that picks one, the 语言 / Language menu that switches
// the whole window at once, and the choice remembered for the next run (in a settings folder of the
// test's own, never the user's).
#include "MenuDriver.h"
#include "VisibleTexts.h"
#include "WindowFixture.h"
#include "app/WindowCommandLine.h"
#include "app/WindowLanguage.h"

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
