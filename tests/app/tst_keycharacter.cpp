#include "app/KeyCharacter.h"

#include <QKeyEvent>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<char16_t>)

class TestKeyCharacter : public QObject {
    Q_OBJECT

private slots:
    void code_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<char16_t>>("expected");

        using C = std::optional<char16_t>;
        const int none = Qt::NoModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("digit") << int(Qt::Key_7) << none << "7" << C{u'7'};
        QTest::newRow("lower a") << int(Qt::Key_A) << none << "a" << C{u'a'};
        QTest::newRow("upper F") << int(Qt::Key_F) << int(Qt::ShiftModifier) << "F" << C{u'F'};
        QTest::newRow("blank") << int(Qt::Key_Space) << none << " " << C{u' '};
        QTest::newRow("backspace without text") << int(Qt::Key_Backspace) << none << "" << C{8};
        QTest::newRow("return") << int(Qt::Key_Return) << none << "\r" << C{13};
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << none << "" << C{13};
        QTest::newRow("escape") << int(Qt::Key_Escape) << none << "" << C{27};
        QTest::newRow("ctrl+v as a test tool sends it") << int(Qt::Key_V) << ctrl << "v" << C{22};
        QTest::newRow("ctrl+v as X11 sends it") << int(Qt::Key_V) << ctrl << "\x16" << C{22};
        QTest::newRow("ctrl+a") << int(Qt::Key_A) << ctrl << "" << C{1};
        QTest::newRow("ctrl+z") << int(Qt::Key_Z) << ctrl << "" << C{26};
        QTest::newRow("left arrow") << int(Qt::Key_Left) << none << "" << C{};
        QTest::newRow("delete") << int(Qt::Key_Delete) << none << "" << C{};
        QTest::newRow("shift+insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << "" << C{};
        QTest::newRow("wide character") << int(Qt::Key_unknown) << none << QStringLiteral("中") << C{u'中'};
    }

    void code() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(std::optional<char16_t>, expected);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        const auto code = vrx::CharacterCode(event);
        QCOMPARE(code.has_value(), expected.has_value());
        if (expected)
            QCOMPARE(int(*code), int(*expected));
    }
};

QTEST_APPLESS_MAIN(TestKeyCharacter)
#include "tst_keycharacter.moc"
