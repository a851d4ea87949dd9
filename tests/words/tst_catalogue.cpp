// The words of the shared results in both languages: Chinese without any catalogue, English with the
// one compiled in; taking it away restores the Chinese exactly.
#include "words/Catalogue.h"
#include "words/FieldWords.h"
#include "words/TrafficWords.h"

#include "config/TargetFields.h"
#include "keys/KeyFrame.h"

#include <QRegularExpression>
#include <QTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<QString()>)

using namespace vrx;

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { UseEnglishWords(false); }

    void words_data() {
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::addColumn<std::function<QString()>>("words");
        const auto row = [](const char *name, const char *chinese, const char *english,
                            std::function<QString()> words) {
            QTest::newRow(name) << QString::fromUtf8(chinese) << QString::fromUtf8(english) << words;
        };
        row("no reply", "200 ms 内没有回复", "no reply within 200 ms", [] { return NoReplyWithinText(200); });
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
        row("overflow", "数值溢出", "a number is too large",
            [] { return TargetProblemText(TargetProblem::NumberOverflow); });
        row("reader port", "请输入1-65535之间的读卡器端口号", "Enter a reader port between 1 and 65535.",
            [] { return TargetProblemText(TargetProblem::ReaderPort); });
        row("key field", "第8区B密码", "key B of sector 8",
            [] { return KeyFieldName(KeyFrame::fieldOf(8, true)); });
        row("short key", "第8区B密码长度小于12！", "key B of sector 8 is shorter than 12 hexadecimal digits",
            [] { return ShortKeyText(KeyFrame::fieldOf(8, true)); });
    }

    // Chinese by default, English with the catalogue, Chinese again without it.
    void words() {
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QFETCH(std::function<QString()>, words);
        QCOMPARE(words(), chinese);
        QVERIFY(UseEnglishWords(true));
        QCOMPARE(words(), english);
        QVERIFY(UseEnglishWords(true)); // twice is once
        QCOMPARE(words(), english);
        QVERIFY(UseEnglishWords(false));
        QCOMPARE(words(), chinese);
    }

    // Every target problem has English words without a Chinese character left in them.
    void everyTargetProblemInEnglish() {
        QVERIFY(UseEnglishWords(true));
        for (int problem = int(TargetProblem::NumberOverflow); problem <= int(TargetProblem::Protocol);
             ++problem) {
            const QString text = TargetProblemText(TargetProblem(problem));
            QVERIFY2(!text.isEmpty() &&
                         !text.contains(QRegularExpression(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"))),
                     qPrintable(text));
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
