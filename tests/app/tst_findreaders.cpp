// The "查找读卡器" dialog through the real widgets, against simulated readers on loopback (127.0.80.x):
// a scan lists exactly the readers that answer, marks a MAC seen twice, stops on 停止 keeping what it
// found, refuses bad ranges before sending anything, and 使用 hands a reader to the window's read.
#include "ComputerAddress.h"
#include "FindReadersDriver.h"
#include "MenuDriver.h"
#include "app/FindReadersLocal.h"
#include "config/ParameterBlock.h"
#include "link/LocalCards.h"
#include "net/AddressRange.h"

#include <QLabel>
#include <QNetworkDatagram>
#include <QProgressBar>
#include <QTimer>
#include <QUdpSocket>

using namespace vrx;

namespace {

// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.80.1"));

// The name the scan gives the loopback card: "lo" on Linux; under wine, the system's own name for it.
QString LoopbackCardName() {
    if (!test::UnderWine())
        return QStringLiteral("lo");
    for (const LocalCard &card : LocalCards())
        if (card.loopback)
            return card.name;
    return QStringLiteral("<no loopback card>");
}
const QString ReadSuccess = QStringLiteral("获取设备参数成功！");

// The readers of the scans: one of each protocol, and two that share a MAC.
bool AddFourReaders(FindReadersDriver &w, QString *error) {
    const MacBytes shared{0x00, 0x14, 0x7F, 0x00, 0x50, 0x0B};
    return w.addReader(QStringLiteral("127.0.80.10"), {}, error) &&
           w.addReader(
               QStringLiteral("127.0.80.11"),
               [](ReaderSettings &s) { s.readerProtocol = Protocol::TcpServer; }, error) &&
           w.addReader(
               QStringLiteral("127.0.80.25"),
               [](ReaderSettings &s) {
                   s.readerProtocol = Protocol::TcpClient;
                   s.serverIp = {127, 0, 80, 1};
                   s.subnetMask = {255, 255, 0, 0};
               },
               error) &&
           w.addReader(
               QStringLiteral("127.0.80.33"), [&](ReaderSettings &s) { s.readerMac = shared; }, error);
}

} // namespace

class TestFindReaders : public QObject {
    Q_OBJECT

private slots:
    void menuItemOpensTheDialog();
    void scanListsExactlyTheReadersThatAnswer();
    void stopKeepsTheRowsFoundSoFar();
    void minimizingLetsTheScanRunOn();
    void useFillsTheWindowAndReads_data();
    void useFillsTheWindowAndReads();
    void useOfADiscoveredReaderTakesItsCard();
    void useDuringAKeyDownloadReadsNothing();
    void badRangesAreRefusedBeforeAnythingIsSent_data();
    void badRangesAreRefusedBeforeAnythingIsSent();
    void scanQueriesFromTheComputerAddressWhenItSuits_data();
    void scanQueriesFromTheComputerAddressWhenItSuits();
};

void TestFindReaders::menuItemOpensTheDialog() {
    FindReadersDriver w(Computer);
    QString failure;
    QVERIFY2(ChooseMenuItem(w.form.get(), QStringLiteral("工具"), QStringLiteral("查找读卡器…"), &failure),
             qPrintable(failure));
    QVERIFY(w.form->FindReadersDialog);
    QTRY_VERIFY(w.form->FindReadersDialog->isVisible());
    QCOMPARE(w.form->FindReadersDialog->windowTitle(), QStringLiteral("查找读卡器"));
    QVERIFY(!w.form->FindReadersDialog->isModal()); // the window's own buttons stay usable
    QCOMPARE(w.messages.shown, QStringList());
}

void TestFindReaders::scanListsExactlyTheReadersThatAnswer() {
    FindReadersDriver w(Computer);
    QString error;
    QVERIFY2(AddFourReaders(w, &error), qPrintable(error));
    FindReaders &find = w.dialog();
    QCOMPARE(find.windowTitle(), QStringLiteral("查找读卡器"));
    QCOMPARE(find.LabelRange->text(), QStringLiteral("地址范围："));
    QStringList titles;
    for (int column = 0; column < find.TableReaders->columnCount(); ++column)
        titles << find.TableReaders->horizontalHeaderItem(column)->text();
    QCOMPARE(titles, QStringList({"读卡器IP", "MAC", "子网掩码", "默认网关", "读卡器端口", "服务器计算机IP",
                                  "服务器计算机端口", "读卡器协议", "是否需发送心跳", "读卡时蜂鸣器",
                                  "密码选择", "网卡", "结果"}));

    w.startScan(QStringLiteral("127.0.80.2 - 127.0.80.40"));
    QVERIFY(find.Searching());
    QVERIFY(!find.CommandScan->isEnabled());
    QVERIFY(find.CommandStop->isEnabled());
    QVERIFY(w.waitUntilDone());

    const QString card = LoopbackCardName() + u' ' + Computer;
    QCOMPARE(w.rows(),
             QList<QStringList>({
                 {"127.0.80.10", "00-14-7F-00-50-0A", "255.255.255.0", "127.0.80.1", "1234", "192.168.0.110",
                  "1234", "UDP", "发送", "发声", "命令中的密码", card, ""},
                 {"127.0.80.11", "00-14-7F-00-50-0B（MAC重复）", "255.255.255.0", "127.0.80.1", "1234",
                  "192.168.0.110", "1234", "TCP服务器", "发送", "发声", "命令中的密码", card, ""},
                 {"127.0.80.25", "00-14-7F-00-50-19", "255.255.0.0", "127.0.80.1", "1234", "127.0.80.1",
                  "1234", "TCP客户端", "发送", "发声", "命令中的密码", card, ""},
                 {"127.0.80.33", "00-14-7F-00-50-0B（MAC重复）", "255.255.255.0", "127.0.80.1", "1234",
                  "192.168.0.110", "1234", "UDP", "发送", "发声", "命令中的密码", card, ""},
             }));
    // Both rows of the shared MAC stand out and say where else it answered.
    for (int row = 0; row < 4; ++row) {
        const bool shared = row == 1 || row == 3;
        QCOMPARE(find.TableReaders->item(row, 0)->background() != QBrush(), shared);
    }
    QVERIFY(find.TableReaders->item(1, 1)->toolTip().contains(QStringLiteral("127.0.80.33")));
    QVERIFY(find.TableReaders->item(3, 1)->toolTip().contains(QStringLiteral("127.0.80.11")));

    QCOMPARE(find.ProgressScan->value(), find.ProgressScan->maximum());
    QCOMPARE(find.LabelStatus->text(), QStringLiteral("找到 4 台读卡器。"));
    QVERIFY(find.CommandScan->isEnabled());
    QVERIFY(!find.CommandStop->isEnabled());
    QCOMPARE(w.messages.shown, QStringList());
}

// A reader at the end of the range that answers only when asked a second time: the stop lands while the
// scan waits for the first round, so nothing more is asked and that reader never shows.
void TestFindReaders::stopKeepsTheRowsFoundSoFar() {
    VRX_SKIP_UNDER_WINE("the late reader is a socket of the test's own on 127.0.80.250, which wine binds "
                        "as the any-address");
    FindReadersDriver w(Computer);
    QString error;
    QVERIFY2(w.addReader(QStringLiteral("127.0.80.40"), {}, &error), qPrintable(error));
    QVERIFY2(w.addReader(QStringLiteral("127.0.80.41"), {}, &error), qPrintable(error));
    const QByteArray lateBlock = ParameterBlock::encode(
        SimulatedReader::DefaultSettings(QHostAddress(QStringLiteral("127.0.80.250"))));
    QUdpSocket late;
    QVERIFY(late.bind(QHostAddress(QStringLiteral("127.0.80.250")), 1001));
    int askedLate = 0;
    connect(&late, &QUdpSocket::readyRead, this, [&] {
        while (late.hasPendingDatagrams()) {
            const QNetworkDatagram query = late.receiveDatagram();
            if (++askedLate > 1)
                late.writeDatagram(lateBlock, query.senderAddress(), quint16(query.senderPort()));
        }
    });

    FindReaders &find = w.dialog();
    w.startScan(QStringLiteral("127.0.80.40-250"));
    QTRY_COMPARE_WITH_TIMEOUT(find.TableReaders->rowCount(), 2, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(askedLate >= 1, 5000);
    QVERIFY(find.Searching());
    QVERIFY(find.ProgressScan->value() < find.ProgressScan->maximum());
    const int askedAtStop = askedLate;
    QTest::mouseClick(find.CommandStop, Qt::LeftButton);
    QVERIFY(!find.CommandStop->isEnabled());
    QVERIFY(w.waitUntilDone());

    QCOMPARE(askedLate, askedAtStop); // nothing more was asked after 停止
    QCOMPARE(w.rowTexts(0).first(), QStringLiteral("127.0.80.40"));
    QCOMPARE(w.rowTexts(1).first(), QStringLiteral("127.0.80.41"));
    // The stop lands before the second round unless this machine took the whole reply wait to get here;
    // then the late reader's answer was already due, and it is kept too.
    if (askedAtStop == 1) {
        QCOMPARE(w.rows().size(), 2);
        QCOMPARE(find.LabelStatus->text(), QStringLiteral("已停止，找到 2 台读卡器。"));
    }
    QCOMPARE(w.messages.shown, QStringList());
    QVERIFY(find.CommandScan->isEnabled());
}

// Minimizing hides the dialog without closing it: the scan goes on and lists what answers.
void TestFindReaders::minimizingLetsTheScanRunOn() {
    FindReadersDriver w(Computer);
    QString error;
    QVERIFY2(w.addReader(QStringLiteral("127.0.80.70"), {}, &error), qPrintable(error));
    FindReaders &find = w.dialog();
    w.startScan(QStringLiteral("127.0.80.70-79"));
    find.showMinimized();
    QVERIFY(find.Searching());
    QVERIFY(w.waitUntilDone());
    QCOMPARE(w.rowOf(QStringLiteral("127.0.80.70")), 0);
    QCOMPARE(find.LabelStatus->text(), QStringLiteral("找到 1 台读卡器。"));
}

void TestFindReaders::useFillsTheWindowAndReads_data() {
    QTest::addColumn<bool>("doubleClick");
    QTest::newRow("使用") << false;
    QTest::newRow("double-click on the row") << true;
}

void TestFindReaders::useFillsTheWindowAndReads() {
    QFETCH(bool, doubleClick);
    FindReadersDriver w(Computer);
    QString error;
    QVERIFY2(AddFourReaders(w, &error), qPrintable(error));
    FindReaders &find = w.dialog();
    w.startScan(QStringLiteral("127.0.80.2-127.0.80.40"));
    QVERIFY(w.waitUntilDone());
    const int row = w.rowOf(QStringLiteral("127.0.80.25"));
    QVERIFY(row >= 0);
    QVERIFY(!find.CommandUse->isEnabled()); // nothing chosen yet

    w.form->TextFindIP[0]->setText(QStringLiteral("192.168.0.101"));
    if (doubleClick) {
        find.TableReaders->scrollToItem(find.TableReaders->item(row, 2));
        const QRect cell = find.TableReaders->visualItemRect(find.TableReaders->item(row, 2));
        QTest::mouseClick(find.TableReaders->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(find.TableReaders->viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        find.TableReaders->selectRow(row);
        QVERIFY(find.CommandUse->isEnabled());
        QTest::mouseClick(find.CommandUse, Qt::LeftButton);
    }

    QVERIFY(find.isVisible()); // the site list stays open for the next reader
    QCOMPARE(w.form->TextFindIP[0]->text(), QStringLiteral("127.0.80.25"));
    QCOMPARE(w.form->TextPCIP->text(), Computer); // the card the scan heard it on
    QCOMPARE(w.messages.shown, QStringList{ReadSuccess});
    QCOMPARE(w.form->Text1[6]->text(), QStringLiteral("127.0.80.25"));
    QCOMPARE(w.form->Text1[7]->text(), QStringLiteral("255.255.0.0"));
    QCOMPARE(w.form->Text1[9]->text(), QStringLiteral("127.0.80.1"));
    QCOMPARE(w.form->TextMac[1]->text(), QStringLiteral("00-14-7F-00-50-19"));
    QCOMPARE(w.form->CombUDP[1]->currentText(), QStringLiteral("TCP客户端"));

    // Opened again, it still lists what it found.
    w.form->ShowFindReaders();
    QVERIFY(find.isVisible());
    QCOMPARE(find.TableReaders->rowCount(), 4);
}

// A reader found by broadcast answered on a card: 使用 puts that card's address into 本机IP too. (The
// broadcast itself runs on the emulated LAN, where cards can broadcast.)
void TestFindReaders::useOfADiscoveredReaderTakesItsCard() {
    FindReadersDriver w(QStringLiteral("192.168.0.110"));
    QString error;
    QVERIFY2(w.addReader(QStringLiteral("127.0.80.60"), {}, &error), qPrintable(error));
    FoundReader discovered;
    discovered.address = QStringLiteral("127.0.80.60");
    discovered.card = QStringLiteral("lo");
    discovered.cardAddress = Computer;
    discovered.discovered = true;
    w.form->UseFoundReader(discovered);
    QCOMPARE(w.form->TextFindIP[0]->text(), QStringLiteral("127.0.80.60"));
    QCOMPARE(w.form->TextPCIP->text(), Computer);
    QCOMPARE(w.messages.shown, QStringList{ReadSuccess});
    QCOMPARE(w.form->Text1[6]->text(), QStringLiteral("127.0.80.60"));
}

// A key download disables 读取 while it waits; a reader chosen meanwhile is not read inside that wait.
void TestFindReaders::useDuringAKeyDownloadReadsNothing() {
    FindReadersDriver w(Computer);
    QString error;
    QVERIFY2(w.addReader(QStringLiteral("127.0.80.61"), {}, &error), qPrintable(error));
    SimulatedReader &reader = *w.readers.back();
    reader.setSilent(true);
    w.form->TextFindIP[0]->setText(reader.address());
    for (FieldEdit *field : w.form->TextPass)
        field->setText(QStringLiteral("FFFFFFFFFFFF"));
    FoundReader found;
    found.address = reader.address();
    bool chosen = false;
    connect(&reader, &SimulatedReader::datagramReceived, this, [&] {
        if (!std::exchange(chosen, true))
            QTimer::singleShot(0, this, [&] { w.form->UseFoundReader(found); });
    });

    QTest::mouseClick(w.form->Command5, Qt::LeftButton);

    QVERIFY(chosen);
    QCOMPARE(reader.received().size(), 1); // the key frame alone
    QCOMPARE(w.messages.shown.size(), 1);
    QVERIFY(w.form->Command1->isEnabled());
}

void TestFindReaders::badRangesAreRefusedBeforeAnythingIsSent_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<QStringList>("named"); // what the message must name
    QTest::newRow("nothing typed") << QString() << QStringList{"请在“地址范围：”中填写要扫描的地址"};
    QTest::newRow("blanks only") << QStringLiteral("   ")
                                 << QStringList{"请在“地址范围：”中填写要扫描的地址"};
    QTest::newRow("prefix above 32") << QStringLiteral("127.0.80.0/33")
                                     << QStringList{"“127.0.80.0/33”不是正确的网段", "0到32"};
    QTest::newRow("block of three groups")
        << QStringLiteral("127.0.80/24") << QStringList{"“127.0.80/24”不是正确的网段"};
    QTest::newRow("range that ends in a word") << QStringLiteral("127.0.80.9-127.0.80.x")
                                               << QStringList{"“127.0.80.9-127.0.80.x”不是正确的起止范围"};
    QTest::newRow("range backwards") << QStringLiteral("127.0.80.20-127.0.80.10")
                                     << QStringList{"“127.0.80.20-127.0.80.10”的结束地址小于起始地址"};
    QTest::newRow("short address") << QStringLiteral("127.0.80")
                                   << QStringList{"“127.0.80”不是IP地址、网段或起止范围", "四段"};
    QTest::newRow("a word among good ranges") << QStringLiteral("127.0.80.10, reader, 127.0.80.12")
                                              << QStringList{"“reader”不是IP地址、网段或起止范围"};
    QTest::newRow("more than a scan takes")
        << QStringLiteral("127.0.80.0/15")
        << QStringList{"要扫描的地址太多", "“127.0.80.0/15”", "131070", "65536"};
    QTest::newRow("too many together") << QStringLiteral("127.0.80.0/16 127.1.0.0/17")
                                       << QStringList{"要扫描的地址太多", "“127.1.0.0/17”", "65536"};
}

void TestFindReaders::badRangesAreRefusedBeforeAnythingIsSent() {
    QFETCH(QString, range);
    QFETCH(QStringList, named);
    FindReadersDriver w(Computer);
    QString error;
    QVERIFY2(w.addReader(QStringLiteral("127.0.80.10"), {}, &error), qPrintable(error));
    w.startScan(range);
    FindReaders &find = w.dialog();
    QVERIFY(!find.Searching());
    QCOMPARE(w.messages.shown.size(), 1);
    for (const QString &part : named)
        QVERIFY2(w.messages.shown.first().contains(part), qPrintable(w.messages.shown.first()));
    QCOMPARE(find.TableReaders->rowCount(), 0);
    // Nothing went out: a query sent now from the window's own port is the first the reader sees.
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress(Computer), 1000, QAbstractSocket::DontShareAddress)); // not held either
    probe.writeDatagram("probe", QHostAddress(QStringLiteral("127.0.80.10")), 1001);
    QTRY_COMPARE_WITH_TIMEOUT(w.queriesReceived(), 1, 2000);
    QCOMPARE(w.readers.front()->received().first().bytes, QByteArray("probe"));
}

void TestFindReaders::scanQueriesFromTheComputerAddressWhenItSuits_data() {
    QTest::addColumn<QString>("computer");
    QTest::addColumn<QStringList>("targets");
    QTest::addColumn<QString>("local");
    const QStringList onA{"198.18.16.10", "198.18.31.254"};
    QTest::newRow("the card's address, targets on its subnet") << "198.18.16.2" << onA << "198.18.16.2";
    QTest::newRow("a target off its subnet")
        << "198.18.16.2" << QStringList{"198.18.16.10", "198.18.32.5"} << "";
    QTest::newRow("not this computer's address") << "198.18.16.3" << onA << "";
    QTest::newRow("the other card's address") << "198.18.32.2" << onA << "";
    QTest::newRow("empty") << "" << onA << "";
    QTest::newRow("the window's default") << "192.168.0.110" << QStringList{"192.168.0.101"} << "";
    QTest::newRow("any loopback address for loopback targets")
        << "127.0.80.1" << QStringList{"127.0.80.2", "127.0.80.200"} << "127.0.80.1";
    QTest::newRow("loopback for a card's targets") << "127.0.80.1" << onA << "";
}

// The dialog's choice of the computer's address for a scan, on a computer with two cards.
void TestFindReaders::scanQueriesFromTheComputerAddressWhenItSuits() {
    QFETCH(QString, computer);
    QFETCH(QStringList, targets);
    QFETCH(QString, local);
    const QList<LocalCard> cards{
        {QStringLiteral("eth0"), 0xC6121002, 20, 0xC6121FFF, false}, // 198.18.16.2/20
        {QStringLiteral("eth1"), 0xC6122002, 24, 0xC61220FF, false}, // 198.18.32.2/24
        {QStringLiteral("lo"), 0x7F000001, 8, 0, true},
    };
    QList<quint32> addresses;
    for (const QString &target : targets)
        addresses << *StrictAddress(target);
    QCOMPARE(ScanLocalAddress(computer, addresses, cards), local);
}

QTEST_MAIN(TestFindReaders)
#include "tst_findreaders.moc"
