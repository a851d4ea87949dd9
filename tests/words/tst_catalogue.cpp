// The words of the shared results in both languages: Chinese without any catalogue, English with the
// one compiled in; taking it away restores the Chinese exactly.
#include "words/Catalogue.h"
#include "words/TrafficWords.h"

#include <QTest>

using namespace vrx;

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { UseEnglishWords(false); }

    void noReplyRow() {
        QCOMPARE(NoReplyWithinText(200), QStringLiteral("200 ms 内没有回复"));
        QVERIFY(UseEnglishWords(true));
        QCOMPARE(NoReplyWithinText(200), QStringLiteral("no reply within 200 ms"));
        QVERIFY(UseEnglishWords(true)); // twice is once
        QCOMPARE(NoReplyWithinText(1500), QStringLiteral("no reply within 1500 ms"));
        QVERIFY(UseEnglishWords(false));
        QCOMPARE(NoReplyWithinText(200), QStringLiteral("200 ms 内没有回复"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
