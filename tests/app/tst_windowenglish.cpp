// The window in English, switched by its menu, as a technician who reads no Chinese uses it: every
// visible text of the window, the find dialog, the traffic log, the about box and the boxes of a read,
// a configure and a failed key download holds no Chinese; back in Chinese every text is as before; and
// a configure writes the same 41 bytes in either language. Against a simulated reader on 127.0.191.x.
#include "ComputerAddress.h"
#include "MenuDriver.h"
#include "ReaderWindow.h"
#include "VisibleTexts.h"
#include "app/FindReaders.h"
#include "app/WindowLanguage.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

using namespace vrx;

namespace {

// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.191.1"));
const QString Reader = QStringLiteral("127.0.191.2");

// The language menu names each language in itself: 中文 stays 中文 in English.
QStringList WithoutLanguageNames(QStringList texts) {
    texts.removeIf([](const QString &text) { return text.endsWith(QStringLiteral(": 中文")); });
    return texts;
}

QWidget *TopLevel(const QString &objectName) {
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == objectName && window->isVisible())
            return window;
    return nullptr;
}

} // namespace

class TestWindowEnglish : public QObject {
    Q_OBJECT

    QTemporaryDir m_settings;
    std::unique_ptr<ReaderWindow> w;

    Form1 &form() { return *w->form; }
    bool choose(const QString &menu, const QString &item) {
        QString failure;
        const bool chosen = ChooseMenuItem(w->form, menu, item, &failure);
        if (!chosen)
            qWarning("%s", qPrintable(failure));
        return chosen;
    }
    // Runs an operation's button and gives the box it showed.
    QString boxOf(QPushButton *button) {
        w->messages.shown.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return !w->messages.shown.isEmpty(); }, 3000))
            return QStringLiteral("no box");
        return w->messages.shown.join(u'\n');
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        UseLanguage(Language::Chinese);
        w = std::make_unique<ReaderWindow>(Computer, Reader);
        QString error;
        QVERIFY2(w->start(&error), qPrintable(error));
    }
    void cleanup() {
        w.reset();
        UseLanguage(Language::Chinese);
    }

    void noChineseLeftInEnglish() {
        QVERIFY(choose("语言", "English"));
        QTRY_COMPARE(form().Command1->text(), QStringLiteral("Read settings"));
        QCOMPARE(WithChinese(WithoutLanguageNames(VisibleTexts(w->form))).join(u'\n'), QString());
        QCOMPARE(WithChinese({MessageTitle()}).join(u'\n'), QString());

        const QString read = boxOf(form().Command1);
        QCOMPARE(read, QStringLiteral("Settings read."));
        // The settings read show in English too, lists included.
        QCOMPARE(form().CombBeep[1]->currentText(), QStringLiteral("Beep"));
        QCOMPARE(WithChinese(WithoutLanguageNames(VisibleTexts(w->form))).join(u'\n'), QString());

        const QString configured = boxOf(form().Command3);
        QVERIFY2(configured.contains(QStringLiteral("Reader IP")) && WithChinese({configured}).isEmpty(),
                 qPrintable(configured));

        w->reader->setCorruptEcho(true);
        const QString failed = boxOf(form().Command5);
        QVERIFY2(failed.startsWith(QStringLiteral("Key download failed")) && WithChinese({failed}).isEmpty(),
                 qPrintable(failed));

        w->messages.shown.clear();
        QVERIFY(choose("Help", "About"));
        QCOMPARE(w->messages.shown.size(), 1);
        QCOMPARE(WithChinese(w->messages.shown).join(u'\n'), QString());

        QVERIFY(choose("Tools", "Traffic log"));
        QTRY_VERIFY(TopLevel("TrafficLog"));
        // The log's controls, and its headings and the read's rows, worded from the shared words.
        const QStringList log = VisibleTexts(TopLevel("TrafficLog"));
        QVERIFY2(log.contains(QStringLiteral("TrafficTable.header4: Meaning")) &&
                     log.contains(QStringLiteral("TrafficTable.cell0,4: parameter query")),
                 qPrintable(log.join(u'\n')));
        QVERIFY(log.contains(QStringLiteral("CommandClear.text: Clear")));
        QCOMPARE(WithChinese(log).join(u'\n'), QString());

        QVERIFY(choose("Tools", "Find readers…"));
        QTRY_VERIFY(TopLevel("FindReaders"));
        QCOMPARE(WithChinese(VisibleTexts(TopLevel("FindReaders"))).join(u'\n'), QString());
    }

    // Every window open while the language changes follows at once, and comes back exactly.
    void backInChineseAsBefore() {
        QVERIFY(choose("工具", "查找读卡器…"));
        QTRY_VERIFY(TopLevel("FindReaders"));
        QVERIFY(choose("工具", "通信记录"));
        QTRY_VERIFY(TopLevel("TrafficLog"));
        const QStringList window = VisibleTexts(w->form);
        const QStringList find = VisibleTexts(TopLevel("FindReaders"));
        const QStringList log = VisibleTexts(TopLevel("TrafficLog"));
        QVERIFY(window.contains(QStringLiteral("Command1.text: 读取读卡器参数")));

        QVERIFY(choose("语言", "English"));
        QTRY_COMPARE(TopLevel("FindReaders")->windowTitle(), QStringLiteral("Find readers"));
        QTRY_COMPARE(TopLevel("TrafficLog")->windowTitle(), QStringLiteral("Traffic log"));
        QVERIFY(choose("Language", "中文"));
        QTRY_COMPARE(form().Command1->text(), QStringLiteral("读取读卡器参数"));
        QTRY_COMPARE(VisibleTexts(w->form), window);
        QTRY_COMPARE(VisibleTexts(TopLevel("FindReaders")), find);
        QTRY_COMPARE(VisibleTexts(TopLevel("TrafficLog")), log);
    }

    void configureSendsTheSameBytesInEitherLanguage() {
        QCOMPARE(boxOf(form().Command3).left(5), QStringLiteral("设置成功！"));
        QVERIFY(choose("语言", "English"));
        QTRY_COMPARE(form().Command3->text(), QStringLiteral("Write settings"));
        const QString english = boxOf(form().Command3);
        QVERIFY2(english.startsWith(QStringLiteral("Settings written")), qPrintable(english));
        const QList<QByteArray> frames = w->framesFromWindow();
        QCOMPARE(frames.size(), 2);
        QCOMPARE(frames[0].size(), 41);
        QCOMPARE(frames[1], frames[0]);
    }
};

QTEST_MAIN(TestWindowEnglish)
#include "tst_windowenglish.moc"
