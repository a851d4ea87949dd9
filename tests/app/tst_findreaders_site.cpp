// The "查找读卡器" dialog as the site's list, through the real widgets against simulated readers on
// loopback (127.0.121.x): sorting by any column, choosing several rows, rows that follow what the
// window reads and writes, 刷新, 导出 as vrxctl scan --csv, and 使用 with the card's address.
#include "ComputerAddress.h"
#include "FindReadersDriver.h"

#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

using namespace vrx;

namespace {

// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.121.1"));
const QString Range = QStringLiteral("127.0.121.2-127.0.121.120");
const QString ReadSuccess = QStringLiteral("获取设备参数成功！");

// Addresses whose text order is not their numeric order, each with other ports and protocol.
struct SiteReader {
    const char *address;
    quint16 serverPort;
    quint8 protocol;
};
const SiteReader Site[] = {
    {"127.0.121.9", 4000, Protocol::Udp},
    {"127.0.121.10", 2000, Protocol::TcpClient},
    {"127.0.121.100", 3000, Protocol::TcpServer},
    {"127.0.121.20", 1000, Protocol::Udp},
};

class FileNamed final : public FileChooser {
public:
    QString path;
    QString FileToOpen(QWidget *, const QString &, const QString &) override { return path; }
    QString FileToSave(QWidget *, const QString &, const QString &, const QString &) override { return path; }
};

} // namespace

class TestFindReadersSite : public QObject {
    Q_OBJECT

    std::unique_ptr<FindReadersDriver> w;
    FileNamed files; // the window asks it for the file to export to

    FindReaders &find() { return w->dialog(); }
    QStringList addresses() {
        QStringList listed;
        for (const QStringList &row : w->rows())
            listed << row.first();
        return listed;
    }
    void clickHeading(int column) {
        QHeaderView *heading = find().TableReaders->horizontalHeader();
        const QPoint at(heading->sectionViewportPosition(column) + heading->sectionSize(column) / 2,
                        heading->height() / 2);
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {}, at);
    }
    void clickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTableWidget *table = find().TableReaders;
        const QRect cell = table->visualItemRect(table->item(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, cell.center());
    }

private slots:
    void init() {
        w = std::make_unique<FindReadersDriver>(Computer, &files);
        QString error;
        for (const SiteReader &site : Site)
            QVERIFY2(w->addReader(
                         QLatin1String(site.address),
                         [&](ReaderSettings &s) {
                             s.serverPort = site.serverPort;
                             s.readerProtocol = site.protocol;
                         },
                         &error),
                     qPrintable(error));
        QVERIFY(QTest::qWaitForWindowExposed(&find()));
        w->startScan(Range);
        QVERIFY(w->waitUntilDone());
        QCOMPARE(find().TableReaders->rowCount(), 4);
    }
    void cleanup() { w.reset(); }

    void headingsSortTheRows_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("读卡器IP, numerically")
            << int(ReaderIpColumn) << 1
            << QStringList{"127.0.121.9", "127.0.121.10", "127.0.121.20", "127.0.121.100"};
        QTest::newRow("读卡器IP descending")
            << int(ReaderIpColumn) << 2
            << QStringList{"127.0.121.100", "127.0.121.20", "127.0.121.10", "127.0.121.9"};
        QTest::newRow("服务器计算机端口")
            << int(ServerPortColumn) << 1
            << QStringList{"127.0.121.20", "127.0.121.10", "127.0.121.100", "127.0.121.9"};
        QTest::newRow("读卡器协议 descending, then by address")
            << int(ProtocolColumn) << 2
            << QStringList{"127.0.121.10", "127.0.121.100", "127.0.121.9", "127.0.121.20"};
        QTest::newRow("MAC") << int(MacColumn) << 1
                             << QStringList{"127.0.121.9", "127.0.121.10", "127.0.121.20", "127.0.121.100"};
    }
    void headingsSortTheRows() {
        QFETCH(int, column);
        QFETCH(int, clicks);
        QFETCH(QStringList, order);
        for (int click = 0; click < clicks; ++click)
            clickHeading(column);
        QCOMPARE(addresses(), order);
        QCOMPARE(find().TableReaders->horizontalHeader()->sortIndicatorSection(), column);
        // The rows' texts moved with them: each row still shows its own reader's port.
        for (const SiteReader &site : Site)
            QCOMPARE(w->rowTexts(w->rowOf(QLatin1String(site.address))).at(ServerPortColumn),
                     QString::number(site.serverPort));
    }

    void severalRowsAreChosenWithCtrlShiftAndCtrlA() {
        clickRow(0);
        clickRow(2, Qt::ShiftModifier);
        QCOMPARE(find().SelectedRows(), (QList<int>{0, 1, 2}));
        clickRow(1, Qt::ControlModifier);
        QCOMPARE(find().SelectedRows(), (QList<int>{0, 2}));
        clickRow(3, Qt::ControlModifier);
        QCOMPARE(find().SelectedRows(), (QList<int>{0, 2, 3}));
        QTest::keyClick(find().TableReaders, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(find().SelectedRows(), (QList<int>{0, 1, 2, 3}));
        // A sort keeps the same readers chosen.
        clickRow(1);
        const QString chosen = w->rowTexts(1).first();
        clickHeading(ServerPortColumn);
        QCOMPARE(find().SelectedRows(), QList<int>{int(w->rowOf(chosen))});
    }

    // 使用 puts the card the scan heard the reader on into 本机IP, whatever the field held: the read
    // succeeds with the window's default 192.168.0.110 there, and the dialog stays open.
    void useOfAScannedRowReadsWithTheDefaultComputerAddress() {
        w->form->TextPCIP->setText(QStringLiteral("192.168.0.110"));
        find().TableReaders->selectRow(w->rowOf(QStringLiteral("127.0.121.100")));
        QTest::mouseClick(find().CommandUse, Qt::LeftButton);
        QCOMPARE(w->messages.shown, QStringList{ReadSuccess});
        QCOMPARE(w->form->TextPCIP->text(), Computer);
        QCOMPARE(w->form->Text1[6]->text(), QStringLiteral("127.0.121.100"));
        QVERIFY(find().isVisible());
        QVERIFY2(find().CommandClose->isVisible(), qPrintable(QString::number(find().width())));
        QTest::mouseClick(find().CommandClose, Qt::LeftButton);
        QVERIFY(!w->form->FindReadersDialog->isVisible());
    }

    // What the window reads from a listed reader, and what it writes into one, shows in its row.
    void rowsFollowTheWindowsReadsAndConfigures() {
        SimulatedReader &reader = *w->readers[1]; // 127.0.121.10
        ReaderSettings changed = reader.settings();
        changed.serverPort = 2222;
        reader.setSettings(changed);
        w->form->TextFindIP[0]->setText(reader.address());
        QTest::mouseClick(w->form->Command1, Qt::LeftButton);
        QCOMPARE(w->rowTexts(w->rowOf(reader.address())).at(ServerPortColumn), QStringLiteral("2222"));

        QTest::mouseClick(w->form->CommandCopy, Qt::LeftButton);
        w->form->Text1[3]->setText(QStringLiteral("127.0.121.200"));
        QTest::mouseClick(w->form->Command3, Qt::LeftButton);
        QVERIFY(w->messages.shown.last().startsWith(QStringLiteral("设置成功！")));
        QCOMPARE(w->rowTexts(w->rowOf(reader.address())).at(ServerIpColumn), QStringLiteral("127.0.121.200"));
    }

    // 刷新 reads every listed reader again; one that no longer answers says so in its row.
    void refreshReadsEveryListedReaderAgain() {
        ReaderSettings changed = w->readers[0]->settings();
        changed.readerPort = 4444;
        w->readers[0]->setSettings(changed);
        w->readers[2]->setSilent(true);
        QVERIFY(find().CommandRefresh->isEnabled());
        QTest::mouseClick(find().CommandRefresh, Qt::LeftButton);
        QTRY_VERIFY(!find().Busy());
        QCOMPARE(w->rowTexts(w->rowOf(QStringLiteral("127.0.121.9"))).at(ReaderPortColumn),
                 QStringLiteral("4444"));
        QCOMPARE(w->rowTexts(w->rowOf(QStringLiteral("127.0.121.100"))).at(ResultColumn),
                 QStringLiteral("无应答"));
        QCOMPARE(w->rowTexts(w->rowOf(QStringLiteral("127.0.121.10"))).at(ResultColumn), QString());
        QCOMPARE(find().LabelStatus->text(), QStringLiteral("已刷新，1 台读卡器没有回答。"));
    }

    // 导出 writes, byte for byte, what vrxctl scan --csv prints for the same range.
    void exportIsWhatVrxctlScanCsvPrints() {
        QTemporaryDir folder;
        files.path = folder.filePath(QStringLiteral("site.csv"));
        clickHeading(ReaderIpColumn); // the table's order is the file's order: numeric, as vrxctl's
        QTest::mouseClick(find().CommandExport, Qt::LeftButton);
        QFile exported(files.path);
        QVERIFY(exported.open(QIODevice::ReadOnly));

        QProcess vrxctl;
        vrxctl.start(QStringLiteral(VRXCTL_PATH), {QStringLiteral("scan"), Range, QStringLiteral("--csv"),
                                                   QStringLiteral("--local"), Computer});
        // The readers answer in this process: wait with the event loop running.
        QVERIFY(QTest::qWaitFor([&] { return vrxctl.state() == QProcess::NotRunning; }, 20000));
        QCOMPARE(vrxctl.exitCode(), 0);
        QByteArray printed = vrxctl.readAllStandardOutput();
#ifdef Q_OS_WIN
        // vrxctl's standard output is in text mode on Windows: each line it prints ends CR LF there.
        printed.replace("\r\n", "\n");
#endif
        QCOMPARE(exported.readAll(), printed);
        QVERIFY(printed.startsWith("address,reader_ip,"));
    }
};

QTEST_MAIN(TestFindReadersSite)
#include "tst_findreaders_site.moc"
