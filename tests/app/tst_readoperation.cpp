// The read button end to end: the real window, real UDP on loopback, a simulated reader.
#include "ComputerAddress.h"
#include "ReaderWindow.h"
#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "link/ReplyWait.h"

#include <QTest>

using namespace vrx;

Q_DECLARE_METATYPE(vrx::ReaderSettings)

namespace {
// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.40.1"));
const QString Reader = QStringLiteral("127.0.40.101");
const QString Stranger = QStringLiteral("127.0.40.102");
const QString Success = QStringLiteral("获取设备参数成功！");
const QString Failure = QStringLiteral("获取设备参数失败！");
} // namespace

class TestReadOperation : public QObject {
    Q_OBJECT

    std::unique_ptr<ReaderWindow> w;

    Form1 &form() { return *w->form; }
    QStringList formerTexts() {
        QStringList texts;
        for (int index = 6; index < 12; ++index)
            texts << form().Text1[index]->text();
        texts << form().TextMac[1]->text() << form().CombUDP[1]->currentText()
              << form().CombSend[1]->currentText() << form().CombBeep[1]->currentText()
              << form().CombPass[1]->currentText();
        return texts;
    }

private slots:
    void init() {
        w = std::make_unique<ReaderWindow>(Computer, Reader);
        QString error;
        QVERIFY2(w->start(&error), qPrintable(error));
    }
    void cleanup() { w.reset(); }

    void readFillsTheFormerFields_data() {
        QTest::addColumn<ReaderSettings>("settings");
        QTest::addColumn<QStringList>("former");

        QTest::newRow("reader's own defaults")
            << SimulatedReader::DefaultSettings(QHostAddress(Reader))
            << QStringList{"127.0.40.101", "255.255.255.0", "127.0.40.1",        "192.168.0.110",
                           "1234",         "1234",          "00-14-7F-00-28-65", "UDP",
                           "发送",         "发声",          "命令中的密码"};

        ReaderSettings odd;
        odd.readerIp = {10, 0, 0, 7};
        odd.subnetMask = {255, 255, 0, 0};
        odd.defaultGateway = {10, 0, 0, 1};
        odd.serverIp = {10, 0, 0, 2};
        odd.readerPort = 80;
        odd.serverPort = 65535;
        odd.readerMac = {0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};
        odd.beepOnRead = 0x01;
        odd.keySource = 0x02;
        odd.readerProtocol = 3;
        odd.heartbeat = 0x01;
        QTest::newRow("codes outside the lists") << odd
                                                 << QStringList{"10.0.0.7",
                                                                "255.255.0.0",
                                                                "10.0.0.1",
                                                                "10.0.0.2",
                                                                "80",
                                                                "65535",
                                                                "0A-0B-0C-0D-0E-0F",
                                                                "数据错误",
                                                                "不发送",
                                                                "蜂鸣器位置数据错误",
                                                                "密码选择位置数据错误"};

        ReaderSettings tcp = SimulatedReader::DefaultSettings(QHostAddress(Reader));
        tcp.readerProtocol = 2;
        tcp.beepOnRead = 0x00;
        tcp.keySource = 0x01;
        tcp.heartbeat = 0xFF;
        QTest::newRow("other list items")
            << tcp << QStringList{"127.0.40.101", "255.255.255.0", "127.0.40.1",        "192.168.0.110",
                                  "1234",         "1234",          "00-14-7F-00-28-65", "TCP客户端",
                                  "不发送",       "不发声",        "读卡器内部密码"};
    }
    void readFillsTheFormerFields() {
        QFETCH(ReaderSettings, settings);
        QFETCH(QStringList, former);
        w->reader->setSettings(settings);
        form().Command3->setEnabled(false); // a read leaves every button enabled

        QTest::mouseClick(form().Command1, Qt::LeftButton);

        QCOMPARE(w->messages.shown, QStringList{Success});
        QCOMPARE(formerTexts(), former);
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(w->framesFromWindow(), QList<QByteArray>{QByteArray::fromHex("E6E8E0E9E3E9E3E6")});
        QCOMPARE(form().Exchange.ReaderAddress, Reader);
        QCOMPARE(form().Exchange.ExchangeStatus, Status::ParametersRead);
        QVERIFY(form().Exchange.ReadMode);
        QCOMPARE(form().SSock->State(), 1); // stays bound after the read
        // The target side is not touched by a read.
        QCOMPARE(form().Text1[0]->text(), QStringLiteral("192.168.0.101"));
    }

    void readerAddressIsUsedInCanonicalForm() {
        form().TextFindIP[0]->setText(QStringLiteral("127.000.040.0101"));
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown, QStringList{Success});
        QCOMPARE(form().Exchange.ReaderAddress, Reader);
    }

    void readFailsWithoutAProperReply_data() {
        QTest::addColumn<Faults>("faults");
        QTest::newRow("silence") << Faults().silence();
        QTest::newRow("40 bytes") << Faults().length(40);
        QTest::newRow("42 bytes") << Faults().length(42);
        QTest::newRow("from another address") << Faults().from(Stranger);
        QTest::newRow("after 250 ms") << Faults().delay(250);
    }
    void readFailsWithoutAProperReply() {
        QFETCH(Faults, faults);
        QString error;
        QVERIFY2(ApplyFaults(*w->reader, faults, &error), qPrintable(error));
        const QStringList before = formerTexts();

        const qint64 start = TickCount();
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        const qint64 elapsed = TickCount() - start;

        QCOMPARE(w->messages.shown, QStringList{Failure});
        QCOMPARE(formerTexts(), before);
        QVERIFY(w->buttonsEnabled());
        QVERIFY2(elapsed > 200 && elapsed < 1000, qPrintable(QString::number(elapsed)));
        QCOMPARE(w->framesFromWindow().size(), 1);
    }

    // The socket stays bound: a reply after the wait is still taken, but the fields change only when
    // a read succeeds.
    void lateReplyIsTakenButNotShown() {
        w->reader->setDelay(250);
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown, QStringList{Failure});
        QTRY_COMPARE_WITH_TIMEOUT(form().Exchange.ExchangeStatus, Status::ParametersRead, 2000);
        QCOMPARE(form().Exchange.ReceiveBuffer,
                 ParameterBlock::encode(SimulatedReader::DefaultSettings(QHostAddress(Reader))));
        QCOMPARE(form().Text1[6]->text(), QString());
        QCOMPARE(w->messages.shown, QStringList{Failure});
    }

    void badReaderAddressSendsNothing_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("byte above 255") << "192.168.0.256" << QStringList{"请确认扫描的IP填写的格式正确！"};
        QTest::newRow("letter") << "192.168.0.1x" << QStringList{"请确认扫描的IP填写的格式正确！"};
        QTest::newRow("group above 32767")
            << "1.2.3.40000" << QStringList{OverflowDescription(), "请确认扫描的IP填写的格式正确！"};
    }
    void badReaderAddressSendsNothing() {
        QFETCH(QString, address);
        QFETCH(QStringList, shown);
        form().TextFindIP[0]->setText(address);
        form().Command5->setEnabled(false); // the buttons are left as they were

        QTest::mouseClick(form().Command1, Qt::LeftButton);

        QCOMPARE(w->messages.shown, shown);
        QVERIFY(!form().Command5->isEnabled());
        QCOMPARE(form().SSock->State(), 0);
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
    }

    // An empty field is not refused: it reads as 0.0.0.0, which the socket will not send to. That
    // failure of the send goes through the socket error table, then the read reports failure.
    void emptyReaderAddressFailsAtTheSend() {
        form().TextFindIP[0]->setText(QString());
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(form().Exchange.ReaderAddress, QStringLiteral("0.0.0.0"));
        QCOMPARE(w->messages.shown.size(), 2);
        QVERIFY(!w->messages.shown[0].isEmpty());
        QCOMPARE(w->messages.shown[1], Failure);
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
    }

    // Binding belongs to Command1_Click: its failures are shown by their own description.
    void portTakenIsShownByItsDescription() {
        const auto holder = w->takePort1000();
        QVERIFY(holder);
        form().Command5->setEnabled(false);
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown.size(), 1);
        QVERIFY2(w->messages.shown[0].contains(QStringLiteral("地址正在使用")),
                 qPrintable(w->messages.shown[0]));
        QVERIFY(w->messages.shown[0] != QStringLiteral("地址正在使用！"));
        QVERIFY(w->buttonsEnabled()); // enabled, as at the end of a normal read
    }

    void computerAddressNotAnAddressIsShownByItsDescription() {
        form().TextPCIP->setText(QStringLiteral("computer"));
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown.size(), 1);
        QVERIFY2(w->messages.shown[0].contains(QStringLiteral("computer")), qPrintable(w->messages.shown[0]));
        QVERIFY(w->buttonsEnabled());
    }

    // A failure while taking a datagram goes through the socket error texts, a reset silently.
    void receiveErrorsGoThroughTheSocketErrorTexts_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("reset") << 10054 << QStringList{};
        QTest::newRow("address in use") << 10048 << QStringList{"地址正在使用！"};
        QTest::newRow("wrong state") << 40006 << QStringList{"所需事物或请求的错误协议或连接状态！"};
        QTest::newRow("other") << 10055 << QStringList{"receive failed"};
    }
    void receiveErrorsGoThroughTheSocketErrorTexts() {
        QFETCH(int, number);
        QFETCH(QStringList, shown);
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        w->messages.shown.clear();
        const qint16 status = form().Exchange.ExchangeStatus;

        emit form().SSock->Error(SocketError{number, QStringLiteral("receive failed")});

        QCOMPARE(w->messages.shown, shown);
        QCOMPARE(form().Exchange.ExchangeStatus, status);
    }

    // After a read the window can read again: the second click starts from a bound socket.
    void twoReadsInARow() {
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown, (QStringList{Success, Success}));
        QCOMPARE(w->framesFromWindow().size(), 2);
    }

    // Each read shows what the reader holds now, over whatever the fields show, the focused one too.
    void nextReadShowsTheReaderAsItIsNow() {
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        const QStringList first = formerTexts();
        QCOMPARE(first.at(1), QStringLiteral("255.255.255.0"));

        form().activateWindow();
        form().Text1[7]->setFocus();
        QTRY_VERIFY_WITH_TIMEOUT(form().Text1[7]->hasFocus(), 2000);
        QTest::keyClick(form().Text1[7], Qt::Key_Backspace);
        QCOMPARE(form().Text1[7]->text(), QStringLiteral("255.255.255."));
        form().Command1->click(); // as by keyboard shortcut: the field keeps the focus
        QVERIFY(form().Text1[7]->hasFocus());
        QCOMPARE(formerTexts(), first);

        ReaderSettings changed = w->reader->settings();
        changed.subnetMask = {255, 255, 0, 0};
        changed.readerPort = 4321;
        w->reader->setSettings(changed);
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(form().Text1[7]->text(), QStringLiteral("255.255.0.0"));
        QCOMPARE(form().Text1[10]->text(), QStringLiteral("4321"));
        QCOMPARE(w->messages.shown, (QStringList{Success, Success, Success}));
    }
};

QTEST_MAIN(TestReadOperation)
#include "tst_readoperation.moc"
