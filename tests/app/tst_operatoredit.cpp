#include "app/OperatorEdit.h"
#include "app/Twips.h"

#include <QTest>

using vrx::JudgeOperatorEdit;
using vrx::OperatorEdit;

Q_DECLARE_METATYPE(std::optional<OperatorEdit>)

namespace {
bool IsHex(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}
} // namespace

class TestOperatorEdit : public QObject {
    Q_OBJECT

private slots:
    void judge_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("hexOnly");
        QTest::addColumn<std::optional<OperatorEdit>>("expected");

        using E = std::optional<OperatorEdit>;
        QTest::newRow("typed within limit") << "123"
                                            << "1234" << 4 << 5 << false << E{{"1234", 4}};
        QTest::newRow("sixth character into a port") << "12345"
                                                     << "123456" << 6 << 5 << false << E{};
        QTest::newRow("typed in the middle at the limit") << "12345"
                                                          << "129345" << 3 << 5 << false << E{};
        QTest::newRow("no limit") << QString(40, 'x') << QString(41, 'x') << 41 << 0 << false
                                  << E{{QString(41, 'x'), 41}};
        QTest::newRow("paste keeps the head") << "ab"
                                              << "abXYZWV" << 7 << 4 << false << E{{"abXY", 4}};
        QTest::newRow("paste in the middle") << "ad"
                                             << "abcd" << 3 << 3 << false << E{{"abd", 2}};
        QTest::newRow("paste over a selection") << "12345"
                                                << "1xyz5" << 4 << 5 << false << E{{"1xyz5", 4}};
        QTest::newRow("paste longer than the selection") << "12345"
                                                         << "1wxyz45" << 5 << 5 << false << E{{"1wx45", 3}};
        QTest::newRow("deleting always allowed") << "123456"
                                                 << "12346" << 4 << 5 << false << E{{"12346", 4}};
        QTest::newRow("program text above limit refuses typing") << "1234567"
                                                                 << "12345678" << 8 << 5 << false << E{};
        QTest::newRow("hex filter drops the rest") << ""
                                                   << "3c-5a 7e" << 8 << 12 << true << E{{"3c5a7e", 6}};
        QTest::newRow("hex filter then limit")
            << "3C5A7E9B1D"
            << "3C5A7E9B1Dzz2F77" << 16 << 12 << true << E{{"3C5A7E9B1D2F", 12}};
        QTest::newRow("nothing acceptable") << "AB"
                                            << "AB\r\n"
                                            << 4 << 12 << true << E{};
        QTest::newRow("same character over itself") << "AAAA"
                                                    << "AAAA" << 4 << 4 << false << E{{"AAAA", 4}};
        QTest::newRow("cursor beyond text") << ""
                                            << "12" << 99 << 5 << false << E{{"12", 2}};
    }

    void judge() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        QFETCH(int, limit);
        QFETCH(bool, hexOnly);
        QFETCH(std::optional<OperatorEdit>, expected);

        const auto edit =
            JudgeOperatorEdit(before, after, cursor, limit, hexOnly ? IsHex : vrx::CharacterFilter{});
        QCOMPARE(edit.has_value(), expected.has_value());
        if (expected) {
            QCOMPARE(edit->text, expected->text);
            QCOMPARE(edit->cursor, expected->cursor);
        }
    }

    void twips_data() {
        QTest::addColumn<qreal>("dpi");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("one pixel at 96") << 96.0 << 15 << 1;
        QTest::newRow("inch at 96") << 96.0 << 1440 << 96;
        QTest::newRow("grid width at 96") << 96.0 << 4200 << 280;
        QTest::newRow("row at 96 rounds") << 96.0 << 350 << 23;
        QTest::newRow("inch at 144") << 144.0 << 1440 << 144;
        QTest::newRow("row at 192") << 192.0 << 350 << 47;
        QTest::newRow("negative") << 96.0 << -150 << -10;
    }

    void twips() {
        QFETCH(qreal, dpi);
        QFETCH(int, twips);
        QFETCH(int, pixels);
        const vrx::TwipScale scale(dpi, dpi);
        QCOMPARE(scale.x(twips), pixels);
        QCOMPARE(scale.y(twips), pixels);
    }
};

QTEST_APPLESS_MAIN(TestOperatorEdit)
#include "tst_operatoredit.moc"
