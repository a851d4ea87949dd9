// The configure button end to end: the real window, real UDP on loopback, a simulated reader.
#include "ComputerAddress.h"
#include "ReaderWindow.h"
#include "fields/AddressText.h"

#include <QCheckBox>
#include <QTest>

using namespace vrx;

namespace {
// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.41.1"));
const QString Reader = QStringLiteral("127.0.41.101");
const QString Stranger = QStringLiteral("127.0.41.102");
const QString FailureReport = QStringLiteral(
    "设置失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！\r\n\r\n");
const QString CrLf = QStringLiteral("\r\n");

// The worked example: the target fields as the window starts.
const QByteArray DefaultBlock = QByteArray::fromHex("E7E7E7E700"
                                                    "C0A80065FFFFFF00C0A80001C0A8006E"
                                                    "04D204D2"
                                                    "0014C0A80065"
                                                    "FF000000"
                                                    "0000"
                                                    "7E7E7E7E");
const QStringList DefaultSummary = {
    "读卡器IP      ：192.168.0.101",
    "读卡器子网掩码：255.255.255.0",
    "读卡器默认网关：192.168.0.1",
    "读卡器端口    ：1234",
    "服务器计算机IP：192.168.0.110",
    "服务器端口    ：1234",
    "MAC           ：00-14-C0-A8-00-65",
    "读卡器协议    ：UDP",
    "是否需发送心跳：发送",
    "读卡时蜂鸣器  ：发声",
    "密码选择      ：使用命令中的密码",
};

QString SuccessReport(const QStringList &lines) {
    return QStringLiteral("设置成功！") + CrLf + CrLf + lines.join(CrLf) + CrLf;
}
} // namespace

class TestConfigureOperation : public QObject {
    Q_OBJECT

    std::unique_ptr<ReaderWindow> w;

    Form1 &form() { return *w->form; }

    // Each edit is "ObjectName=value": a text field gets the text, a list box "#n" selects item n and
    // any other value is typed into it, Check1 takes 0 or 1.
    void applyEdits(const QStringList &edits) {
        for (const QString &edit : edits) {
            const QString name = edit.section(QLatin1Char('='), 0, 0);
            const QString value = edit.section(QLatin1Char('='), 1);
            if (name == QLatin1String("Check1")) {
                form().Check1->setChecked(value == QLatin1String("1"));
            } else if (auto *list = form().findChild<ListBox *>(name)) {
                if (value.startsWith(QLatin1Char('#')))
                    list->setCurrentIndex(value.mid(1).toInt());
                else
                    list->setText(value);
            } else if (auto *field = form().findChild<FieldEdit *>(name)) {
                field->setText(value);
            } else {
                QFAIL(qPrintable(QStringLiteral("no control %1").arg(name)));
            }
        }
        w->messages.shown.clear(); // what the edits themselves reported is not the operation's
    }

private slots:
    void init() {
        w = std::make_unique<ReaderWindow>(Computer, Reader);
        QString error;
        QVERIFY2(w->start(&error), qPrintable(error));
    }
    void cleanup() { w.reset(); }

    void configureWritesTheTargets_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QStringList>("summary");

        QTest::newRow("start-up targets") << QStringList{} << DefaultBlock << DefaultSummary;
        // Typed text in the heartbeat box has no list position and sends the heartbeat.
        QTest::newRow("typed heartbeat text")
            << QStringList{"CombSend_0=maybe"} << DefaultBlock << DefaultSummary;
        QTest::newRow("every field changed")
            << QStringList{"Text1_0= 10.1.2.3 ", "Text1_1=255.255",
                           "Text1_2=10.1.2.254", "Text1_3=10.1.2.9",
                           "Text1_4= 80 ",       "Text1_5=01234",
                           "Check1=0",           "TextMac_0=12-23-34-45-67-78",
                           "CombUDP_0=#1",       "CombSend_0=#0",
                           "CombBeep_0=#0",      "CombPass_0=#1"}
            << QByteArray::fromHex("E7E7E7E700"
                                   "0A010203FFFF00000A0102FE0A010209"
                                   "005004D2"
                                   "122334456778"
                                   "000101FF"
                                   "0000"
                                   "7E7E7E7E")
            << QStringList{"读卡器IP      ：10.1.2.3",
                           "读卡器子网掩码：255.255.0.0",
                           "读卡器默认网关：10.1.2.254",
                           "读卡器端口    ：80",
                           "服务器计算机IP：10.1.2.9",
                           "服务器端口    ：1234",
                           "MAC           ：12-23-34-45-67-78",
                           "读卡器协议    ：TCP服务器",
                           "是否需发送心跳：不发送",
                           "读卡时蜂鸣器  ：不发声",
                           "密码选择      ：使用读卡器内部密码"};
    }
    void configureWritesTheTargets() {
        QFETCH(QStringList, edits);
        QFETCH(QByteArray, block);
        QFETCH(QStringList, summary);
        applyEdits(edits);
        // The buttons as the reader sees them: the frame arrives while the window waits.
        QList<bool> enabledDuringWait;
        connect(w->reader.get(), &SimulatedReader::datagramReceived, this, [&] {
            enabledDuringWait << form().Command1->isEnabled() << form().Command3->isEnabled()
                              << form().Command5->isEnabled();
        });

        QTest::mouseClick(form().Command3, Qt::LeftButton);

        QCOMPARE(w->framesFromWindow(), QList<QByteArray>{block});
        QCOMPARE(w->messages.shown, QStringList{SuccessReport(summary)});
        QCOMPARE(enabledDuringWait, (QList<bool>{false, false, false}));
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(form().Exchange.ExchangeStatus, Status::ConfigureEchoed);
        QCOMPARE(form().Exchange.ReceiveBuffer, block);
        QVERIFY(!form().Exchange.ReadMode);
        // Bound again for late datagrams, the reader kept as the remote end.
        QCOMPARE(form().SSock->BoundAddress(), Computer);
        QCOMPARE(form().SSock->LocalPort(), 1000);
        QCOMPARE(form().SSock->RemoteHost(), Reader);
        QCOMPARE(form().SSock->RemotePort(), 1001);
        // The former fields play no part and are not refreshed.
        QCOMPARE(form().Text1[6]->text(), QString());
    }

    void configureFailsWithoutAnExactEcho_data() {
        QTest::addColumn<Faults>("faults");
        QTest::newRow("silence") << Faults().silence();
        QTest::newRow("40 bytes") << Faults().length(40);
        QTest::newRow("42 bytes") << Faults().length(42);
        QTest::newRow("from another address") << Faults().from(Stranger);
        QTest::newRow("corrupted echo") << Faults().corrupt();
        QTest::newRow("after 250 ms") << Faults().delay(250);
    }
    void configureFailsWithoutAnExactEcho() {
        QFETCH(Faults, faults);
        QString error;
        QVERIFY2(ApplyFaults(*w->reader, faults, &error), qPrintable(error));

        QTest::mouseClick(form().Command3, Qt::LeftButton);

        QCOMPARE(w->messages.shown, QStringList{FailureReport});
        QCOMPARE(w->framesFromWindow(), QList<QByteArray>{DefaultBlock});
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(form().SSock->BoundAddress(), Computer);
    }

    void badTargetSendsNothing_data() {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("shown");
        const QStringList own{"请输入正确的本机地址"};
        const QStringList mask{"请输入正确的子网掩码"};
        const QStringList gateway{"请输入正确的默认网关"};
        const QStringList server{"请输入正确服务器计算机IP"};
        const QStringList readerPort{"请输入1-65535之间的读卡器端口号"};
        const QStringList serverPort{"请输入1-65535之间的服务器计算机端口号"};
        const QStringList mac{"请输入正确的读卡器MAC"};

        QTest::newRow("reader address last byte 0") << QStringList{"Text1_0=192.168.0.0"} << own;
        QTest::newRow("reader address of three parts") << QStringList{"Text1_0=192.168.1"} << own;
        QTest::newRow("reader address empty") << QStringList{"Text1_0="} << own;
        QTest::newRow("reader address byte above 255") << QStringList{"Text1_0=192.168.0.300"} << own;
        QTest::newRow("reader address group above 32767")
            << QStringList{"Text1_0=1.2.3.40000"} << QStringList{OverflowDescription(), own[0]};
        QTest::newRow("mask with a letter") << QStringList{"Text1_1=255.255.x.0"} << mask;
        QTest::newRow("gateway last byte 0") << QStringList{"Text1_2=192.168.0.0"} << gateway;
        QTest::newRow("gateway empty") << QStringList{"Text1_2="} << gateway;
        QTest::newRow("server empty") << QStringList{"Text1_3="} << server;
        QTest::newRow("server last byte 0") << QStringList{"Text1_3=10.0.0.0"} << server;
        QTest::newRow("reader port empty") << QStringList{"Text1_4="} << readerPort;
        QTest::newRow("reader port 12a") << QStringList{"Text1_4=12a"} << readerPort;
        QTest::newRow("reader port 0") << QStringList{"Text1_4=0"} << readerPort;
        QTest::newRow("reader port 65536") << QStringList{"Text1_4=65536"} << readerPort;
        QTest::newRow("server port 70000") << QStringList{"Text1_5=70000"} << serverPort;
        QTest::newRow("server port -1") << QStringList{"Text1_5=-1"} << serverPort;
        QTest::newRow("MAC with four dashes") << QStringList{"Check1=0", "TextMac_0=12-23-34-45-67"} << mac;
        QTest::newRow("MAC with colons") << QStringList{"Check1=0", "TextMac_0=12:23:34:45:67:78"} << mac;
        QTest::newRow("MAC group 100") << QStringList{"Check1=0", "TextMac_0=12-23-34-45-67-100"} << mac;
        QTest::newRow("MAC with six dashes")
            << QStringList{"Check1=0", "TextMac_0=12-23-34-45-67-78-9A"} << mac;
        QTest::newRow("only the first bad field")
            << QStringList{"Text1_2=1.2.3.0", "Text1_4=0", "Check1=0", "TextMac_0=1-2"} << gateway;
        QTest::newRow("protocol typed")
            << QStringList{"CombUDP_0=SPX"} << QStringList{"读卡器协议不是列表中的一项，无法设置"};
    }
    void badTargetSendsNothing() {
        QFETCH(QStringList, edits);
        QFETCH(QStringList, shown);
        applyEdits(edits);

        QTest::mouseClick(form().Command3, Qt::LeftButton);

        QCOMPARE(w->messages.shown, shown);
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(form().SSock->BoundAddress(), Computer); // bound again even after a refused field
    }

    void badReaderAddressSendsNothing_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("empty") << "" << QStringList{"请先填写要配置的读卡器IP!"};
        QTest::newRow("byte above 255") << "192.168.0.256" << QStringList{"请确认读卡器的IP填写的格式正确！"};
        QTest::newRow("group above 32767")
            << "1.2.3.40000" << QStringList{OverflowDescription(), "请确认读卡器的IP填写的格式正确！"};
    }
    void badReaderAddressSendsNothing() {
        QFETCH(QString, address);
        QFETCH(QStringList, shown);
        // A read first leaves the socket bound and the reader address stored.
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        w->messages.shown.clear();
        w->reader->clearRecords();
        form().TextFindIP[0]->setText(address);
        form().Command5->setEnabled(false);

        QTest::mouseClick(form().Command3, Qt::LeftButton);

        QCOMPARE(w->messages.shown, shown);
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
        QVERIFY(!form().Command5->isEnabled()); // the buttons are not touched
        QCOMPARE(form().SSock->State(), 0);     // closed at the start, not bound again
        QCOMPARE(form().Exchange.ReaderAddress, Reader);
    }

    // Every socket failure of the configure is shown by its own description.
    void portTakenIsShownByItsDescription() {
        const auto holder = w->takePort1000();
        QVERIFY(holder);
        QTest::mouseClick(form().Command3, Qt::LeftButton);
        QCOMPARE(w->messages.shown.size(), 1);
        QVERIFY2(w->messages.shown[0].contains(QStringLiteral("地址正在使用")),
                 qPrintable(w->messages.shown[0]));
        QVERIFY(w->messages.shown[0] != QStringLiteral("地址正在使用！"));
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
    }

    // The socket is bound again with TextPCIP as it reads after the exchange; a failure of that bind
    // comes after the report, with the buttons already enabled.
    void bindAfterTheExchangeReadsTheComputerAddressAgain_data() {
        QTest::addColumn<QString>("computerDuringWait");
        QTest::addColumn<QString>("boundAfter");
        QTest::addColumn<int>("descriptions");
        QTest::newRow("another loopback address") << "127.0.41.2"
                                                  << "127.0.41.2" << 0;
        QTest::newRow("not an address") << "computer"
                                        << "" << 1;
    }
    void bindAfterTheExchangeReadsTheComputerAddressAgain() {
        QFETCH(QString, computerDuringWait);
        QFETCH(QString, boundAfter);
        QFETCH(int, descriptions);
        connect(w->reader.get(), &SimulatedReader::datagramReceived, this,
                [&] { form().TextPCIP->setText(computerDuringWait); });

        QTest::mouseClick(form().Command3, Qt::LeftButton);

        QCOMPARE(w->messages.shown.size(), 1 + descriptions);
        QCOMPARE(w->messages.shown[0], SuccessReport(DefaultSummary));
        QCOMPARE(form().SSock->BoundAddress(), boundAfter);
        QVERIFY(w->buttonsEnabled());
    }

    void twoConfiguresInARow() {
        QTest::mouseClick(form().Command3, Qt::LeftButton);
        QTest::mouseClick(form().Command3, Qt::LeftButton);
        QCOMPARE(w->messages.shown,
                 (QStringList{SuccessReport(DefaultSummary), SuccessReport(DefaultSummary)}));
        QCOMPARE(w->framesFromWindow(), (QList<QByteArray>{DefaultBlock, DefaultBlock}));
    }
};

QTEST_MAIN(TestConfigureOperation)
#include "tst_configureoperation.moc"
