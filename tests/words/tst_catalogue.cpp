// The words of the shared results in both languages: Chinese without any catalogue, English with the
// one compiled in; taking it away restores the Chinese exactly.
#include "words/Catalogue.h"
#include "words/TrafficWords.h"

#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<QString()>)

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

    void trafficLogWords_data() {
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::addColumn<std::function<QString()>>("words");
        const auto row = [](const char *name, const char *chinese, const char *english,
                            std::function<QString()> words) {
            QTest::newRow(name) << QString::fromUtf8(chinese) << QString::fromUtf8(english) << words;
        };
        row("heading", "对方地址", "Peer", [] { return TrafficHeadingText(TrafficHeading::Peer); });
        row("direction", "接收", "Received", [] { return ReceivedDirectionText(); });
        row("sent frame", "密码帧", "key frame", [] { return SentFrameText(SentFrame::KeyFrame); });
        row("send failed", "参数查询，发送失败：x", "parameter query, send failed: x",
            [] { return SendFailedText(SentFrameText(SentFrame::ParameterQuery), QStringLiteral("x")); });
        row("reply", "配置回显，不一致，状态12", "configure echo, differs, status 12",
            [] { return ReplyText(ReplyKind::ConfigureEchoDiffers); });
        row("other status", "状态7", "status 7", [] { return OtherStatusText(7); });
        row("ignored", "忽略：发送方不是读卡器IP", "ignored: sender is not the reader's IP",
            [] { return IgnoredText(IgnoredReason::WrongSender); });
    }

    // The traffic log's headings and row words: Chinese by default, English with the catalogue.
    void trafficLogWords() {
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QFETCH(std::function<QString()>, words);
        QCOMPARE(words(), chinese);
        QVERIFY(UseEnglishWords(true));
        QCOMPARE(words(), english);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
