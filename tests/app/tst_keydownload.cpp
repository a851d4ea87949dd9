// The key download button end to end: the real window, real UDP on loopback, a simulated reader.
#include "ComputerAddress.h"
#include "ReaderWindow.h"
#include "fields/AddressText.h"

#include <QTest>

using namespace vrx;

namespace {
// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.42.1"));
const QString Reader = QStringLiteral("127.0.42.101");
const QString Stranger = QStringLiteral("127.0.42.102");
const QString Success = QStringLiteral("下载密码成功！");
const QString Failure = QStringLiteral(
    "下载密码失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！");

// Key field i holds, for the sector s it belongs to, "AAss" (A key) or "BBss" (B key) three times.
// Fields 0-7 are the A keys of sectors 0-7, 8-15 their B keys, 16-23 the A keys of sectors 8-15,
// 24-31 their B keys.
int SectorOf(int field) {
    return field % 8 + (field >= 16 ? 8 : 0);
}
bool IsBKey(int field) {
    return (field / 8) % 2 == 1;
}
QString KeyText(int field) {
    return QStringLiteral("%1%2")
        .arg(IsBKey(field) ? "BB" : "AA")
        .arg(SectorOf(field), 2, 16, QLatin1Char('0'))
        .repeated(3)
        .toUpper();
}

// E1 x4, then sector by sector its A key and its B key, then 1E x4.
QByteArray ExpectedFrame() {
    QByteArray frame(4, char(0xE1));
    for (int sector = 0; sector < 16; ++sector) {
        for (const char kind : {char(0xAA), char(0xBB)})
            for (int pair = 0; pair < 3; ++pair)
                frame.append(kind).append(char(sector));
    }
    frame.append(4, char(0x1E));
    return frame;
}
} // namespace

class TestKeyDownload : public QObject {
    Q_OBJECT

    std::unique_ptr<ReaderWindow> w;

    Form1 &form() { return *w->form; }
    void typeKeys(const std::function<QString(int)> &text) {
        for (int field = 0; field < 32; ++field)
            form().TextPass[field]->setText(text(field));
    }

private slots:
    void init() {
        w = std::make_unique<ReaderWindow>(Computer, Reader);
        QString error;
        QVERIFY2(w->start(&error), qPrintable(error));
        typeKeys(KeyText);
    }
    void cleanup() { w.reset(); }

    void expectedFrameIsWellFormed() {
        const QByteArray frame = ExpectedFrame();
        QCOMPARE(frame.size(), 200);
        QCOMPARE(frame.first(16), QByteArray::fromHex("E1E1E1E1AA00AA00AA00BB00BB00BB00"));
        QCOMPARE(frame.mid(100, 12), QByteArray::fromHex("AA08AA08AA08BB08BB08BB08"));
        QCOMPARE(frame.last(16), QByteArray::fromHex("AA0FAA0FAA0FBB0FBB0FBB0F1E1E1E1E"));
    }

    void downloadPutsTheFrameOnTheWire_data() {
        QTest::addColumn<bool>("lowerCaseWithBlanks");
        QTest::addColumn<Faults>("faults");
        QTest::newRow("upper case") << false << Faults();
        QTest::newRow("lower case with blanks around") << true << Faults();
        // A key echo counts from any address but the computer's own, and only its first 200 bytes count.
        QTest::newRow("echo from another address") << false << Faults().from(Stranger);
        QTest::newRow("echo of 300 bytes") << false << Faults().length(300);
    }
    void downloadPutsTheFrameOnTheWire() {
        QFETCH(bool, lowerCaseWithBlanks);
        QFETCH(Faults, faults);
        QString error;
        QVERIFY2(ApplyFaults(*w->reader, faults, &error), qPrintable(error));
        if (lowerCaseWithBlanks)
            typeKeys(
                [](int field) { return QLatin1Char(' ') + KeyText(field).toLower() + QLatin1Char(' '); });
        QList<bool> enabledDuringWait;
        connect(w->reader.get(), &SimulatedReader::datagramReceived, this, [&] {
            enabledDuringWait << form().Command1->isEnabled() << form().Command3->isEnabled()
                              << form().Command5->isEnabled();
        });

        QTest::mouseClick(form().Command5, Qt::LeftButton);

        QCOMPARE(w->framesFromWindow(), QList<QByteArray>{ExpectedFrame()});
        QCOMPARE(w->messages.shown, QStringList{Success});
        QCOMPARE(enabledDuringWait, (QList<bool>{false, false, false}));
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(w->reader->keyFrame(), ExpectedFrame());
        QCOMPARE(form().Exchange.ExchangeStatus, Status::KeysEchoed);
        QVERIFY(form().Exchange.KeyEchoMatched);
        QCOMPARE(form().SSock->BoundAddress(), Computer); // stays bound
    }

    void downloadFailsWithoutAnExactEcho_data() {
        QTest::addColumn<Faults>("faults");
        QTest::newRow("silence") << Faults().silence();
        QTest::newRow("199 bytes") << Faults().length(199);
        // A 41-byte answer from the reader is taken as a configure echo and ends the wait.
        QTest::newRow("41 bytes") << Faults().length(41);
        QTest::newRow("corrupted echo") << Faults().corrupt();
        QTest::newRow("after 250 ms") << Faults().delay(250);
    }
    void downloadFailsWithoutAnExactEcho() {
        QFETCH(Faults, faults);
        QString error;
        QVERIFY2(ApplyFaults(*w->reader, faults, &error), qPrintable(error));

        QTest::mouseClick(form().Command5, Qt::LeftButton);

        QCOMPARE(w->messages.shown, QStringList{Failure});
        QCOMPARE(w->framesFromWindow(), QList<QByteArray>{ExpectedFrame()});
        QVERIFY(w->buttonsEnabled());
    }

    void shortKeySendsNothing_data() {
        QTest::addColumn<QList<int>>("shortFields");
        QTest::addColumn<QString>("shown");
        QTest::newRow("A key of sector 0") << QList<int>{0} << "第0区A密码长度小于12！";
        QTest::newRow("B key of sector 15") << QList<int>{31} << "第15区B密码长度小于12！";
        QTest::newRow("B key of sector 1") << QList<int>{9} << "第1区B密码长度小于12！";
        // Sector 8 is visited before sector 3.
        QTest::newRow("A of sector 3 and B of sector 8") << QList<int>{3, 24} << "第8区B密码长度小于12！";
    }
    void shortKeySendsNothing() {
        QFETCH(QList<int>, shortFields);
        QFETCH(QString, shown);
        for (int field : shortFields)
            form().TextPass[field]->setText(QStringLiteral(" AABBCCDDEEF "));

        QTest::mouseClick(form().Command5, Qt::LeftButton);

        QCOMPARE(w->messages.shown, QStringList{shown});
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
        QVERIFY(w->buttonsEnabled());
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
        form().TextFindIP[0]->setText(address);
        form().Command1->setEnabled(false);

        QTest::mouseClick(form().Command5, Qt::LeftButton);

        QCOMPARE(w->messages.shown, shown);
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
        QVERIFY(!form().Command1->isEnabled()); // the buttons are not touched
    }

    // Preparing the socket is reported through the socket error texts, before the buttons are disabled.
    void portTakenGoesThroughTheSocketErrorTexts() {
        const auto holder = w->takePort1000();
        QVERIFY(holder);
        form().Command1->setEnabled(false);

        QTest::mouseClick(form().Command5, Qt::LeftButton);

        QCOMPARE(w->messages.shown, QStringList{QStringLiteral("地址正在使用！")});
        QVERIFY(!form().Command1->isEnabled());
        QVERIFY(form().Command3->isEnabled() && form().Command5->isEnabled());
        QCOMPARE(w->framesBeforeProbe(), QList<QByteArray>{});
    }

    // A failure of the send is reported by its own description, and the buttons come back.
    void sendFailureIsShownByItsDescription() {
        form().TextFindIP[0]->setText(QStringLiteral(" ")); // passes the empty test, reads as 0.0.0.0

        QTest::mouseClick(form().Command5, Qt::LeftButton);

        QCOMPARE(form().Exchange.ReaderAddress, QStringLiteral("0.0.0.0"));
        QCOMPARE(w->messages.shown.size(), 1);
        QVERIFY(!w->messages.shown[0].isEmpty());
        QVERIFY(w->messages.shown[0] != Failure);
        QVERIFY(w->buttonsEnabled());
    }
};

QTEST_MAIN(TestKeyDownload)
#include "tst_keydownload.moc"
