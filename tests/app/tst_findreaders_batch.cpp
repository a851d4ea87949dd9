// 批量配置 and 批量下载密码 in the "查找读卡器" dialog, through the real widgets against simulated
// readers on loopback (127.0.122.x): the chosen readers are read, written and read back; the others are
// never touched; a reader that stops answering is reported as such while the rest go on; 停止 leaves
// the readers not yet started untouched.
#include "ComputerAddress.h"
#include "FindReadersDriver.h"

#include "config/ParameterBlock.h"
#include "keys/KeyFrame.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

using namespace vrx;

namespace {

// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.122.1"));
const QString NewServer = QStringLiteral("127.0.122.200");
const QStringList Site = {"127.0.122.11", "127.0.122.12", "127.0.122.13", "127.0.122.14", "127.0.122.15"};

bool IsSettingsBlock(const QByteArray &datagram) {
    return datagram.size() == ParameterBlock::Size;
}

} // namespace

class TestFindReadersBatch : public QObject {
    Q_OBJECT

    std::unique_ptr<FindReadersDriver> w;
    QList<ReaderSettings> initial;

    FindReaders &find() { return w->dialog(); }
    SimulatedReader &reader(const QString &address) {
        for (const auto &each : w->readers)
            if (each->address() == address)
                return *each;
        qFatal("no reader %s", qPrintable(address));
    }
    void clickHeading(int column) {
        QHeaderView *heading = find().TableReaders->horizontalHeader();
        QTest::mouseClick(heading->viewport(), Qt::LeftButton, {},
                          QPoint(heading->sectionViewportPosition(column) + heading->sectionSize(column) / 2,
                                 heading->height() / 2));
    }
    // Chooses the rows of these readers with Ctrl+click, as the operator does.
    void choose(const QStringList &addresses) {
        QTableWidget *table = find().TableReaders;
        table->clearSelection();
        for (const QString &address : addresses) {
            const QRect cell = table->visualItemRect(table->item(w->rowOf(address), 0));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        }
    }
    QString result(const QString &address) { return w->rowTexts(w->rowOf(address)).at(ResultColumn); }
    bool untouched(const QString &address) {
        return reader(address).received().isEmpty() &&
               reader(address).settings() == initial.at(Site.indexOf(address));
    }

private slots:
    void init() {
        w = std::make_unique<FindReadersDriver>(Computer);
        QString error;
        initial.clear();
        for (const QString &address : Site) {
            QVERIFY2(w->addReader(address, {}, &error), qPrintable(error));
            initial << w->readers.back()->settings();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&find()));
        w->startScan(QStringLiteral("127.0.122.2-127.0.122.40"));
        QVERIFY(w->waitUntilDone());
        QCOMPARE(find().TableReaders->rowCount(), 5);
        for (const auto &each : w->readers)
            each->clearRecords();
        // Sorted by 读卡器IP, descending: the batch follows the table's order.
        clickHeading(ReaderIpColumn);
        clickHeading(ReaderIpColumn);
        QCOMPARE(w->rowTexts(0).first(), Site.last());
    }
    void cleanup() { w.reset(); }

    void batchConfigureWritesTheChosenReaders() {
        const QStringList chosen = {"127.0.122.15", "127.0.122.13", "127.0.122.12"};
        choose(chosen);
        QCOMPARE(find().SelectedRows(), (QList<int>{0, 2, 3}));
        w->form->Text1[3]->setText(NewServer);
        QTest::mouseClick(find().CommandBatchConfigure, Qt::LeftButton);
        QTRY_VERIFY(!find().Busy());

        for (const QString &address : chosen) {
            QCOMPARE(result(address), QStringLiteral("成功"));
            QCOMPARE(w->rowTexts(w->rowOf(address)).at(ServerIpColumn), NewServer);
            // Each kept its own address and MAC.
            QCOMPARE(reader(address).settings().readerIp, initial.at(Site.indexOf(address)).readerIp);
            QCOMPARE(reader(address).settings().readerMac, initial.at(Site.indexOf(address)).readerMac);
            // A read through the window shows the new server.
            w->form->TextFindIP[0]->setText(address);
            w->messages.shown.clear();
            QTest::mouseClick(w->form->Command1, Qt::LeftButton);
            QCOMPARE(w->messages.shown, QStringList{QStringLiteral("获取设备参数成功！")});
            QCOMPARE(w->form->Text1[9]->text(), NewServer);
        }
        for (const QString &address : {QStringLiteral("127.0.122.14"), QStringLiteral("127.0.122.11")}) {
            QVERIFY(untouched(address));
            QCOMPARE(result(address), QString());
        }
        QCOMPARE(find().ProgressScan->value(), 3);
        QCOMPARE(find().LabelStatus->text(), QStringLiteral("批量配置结束：成功 3 台，失败 0 台。"));
    }

    void batchKeysDownloadsToTheChosenReaders() {
        QStringList keys;
        for (int field = 0; field < KeyFrame::KeyFieldCount; ++field)
            keys << QStringLiteral("A0B1C2D3E4%1").arg(field, 2, 16, QLatin1Char('0')).toUpper();
        for (int field = 0; field < KeyFrame::KeyFieldCount; ++field)
            w->form->TextPass[field]->setText(keys.at(field));
        QByteArray expected;
        QVERIFY(BuildKeyFrame(keys, expected).ok);
        const QStringList chosen = {"127.0.122.14", "127.0.122.13", "127.0.122.11"};
        choose(chosen);
        QTest::mouseClick(find().CommandBatchKeys, Qt::LeftButton);
        QTRY_VERIFY(!find().Busy());

        for (const QString &address : chosen) {
            QCOMPARE(result(address), QStringLiteral("成功"));
            QCOMPARE(reader(address).keyFrame().toHex(), expected.toHex());
            QCOMPARE(reader(address).settings(), initial.at(Site.indexOf(address))); // no settings written
        }
        for (const QString &address : {QStringLiteral("127.0.122.15"), QStringLiteral("127.0.122.12")}) {
            QVERIFY(untouched(address));
            QCOMPARE(reader(address).keyFrame(), SimulatedReader::DefaultKeyFrame());
        }
    }

    // The second reader in hand goes wrong as the first is being written; the third is still done.
    void aReaderGoingWrongMidBatchIsReportedAndTheRestGoOn_data() {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("written"); // whether a block reached it
        QTest::newRow("stops answering") << true << QStringLiteral("无应答") << false;
        QTest::newRow("echoes another block") << false << QStringLiteral("回显不符") << true;
    }
    void aReaderGoingWrongMidBatchIsReportedAndTheRestGoOn() {
        QFETCH(bool, silent);
        QFETCH(QString, expected);
        QFETCH(bool, written);
        const QStringList chosen = {"127.0.122.15", "127.0.122.14", "127.0.122.13"};
        choose(chosen);
        connect(&reader(chosen[0]), &SimulatedReader::datagramReceived, this,
                [&] { silent ? reader(chosen[1]).setSilent(true) : reader(chosen[1]).setCorruptEcho(true); });
        w->form->Text1[3]->setText(NewServer);
        QTest::mouseClick(find().CommandBatchConfigure, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!find().Busy(), 20000);

        QCOMPARE(result(chosen[0]), QStringLiteral("成功"));
        QCOMPARE(result(chosen[1]), expected);
        QCOMPARE(result(chosen[2]), QStringLiteral("成功"));
        bool blockArrived = false;
        for (const WireRecord &record : reader(chosen[1]).received())
            blockArrived = blockArrived || IsSettingsBlock(record.bytes);
        QCOMPARE(blockArrived, written); // nothing is written to a reader that did not answer the read
        QCOMPARE(find().LabelStatus->text(), QStringLiteral("批量配置结束：成功 2 台，失败 1 台。"));
    }

    void stopLeavesTheReadersNotYetStartedUntouched() {
        const QStringList chosen = {"127.0.122.15", "127.0.122.14", "127.0.122.13", "127.0.122.12"};
        choose(chosen);
        bool stopped = false;
        connect(&reader(chosen[0]), &SimulatedReader::datagramReceived, this, [&] {
            if (!std::exchange(stopped, true))
                QTimer::singleShot(0, this, [&] { QTest::mouseClick(find().CommandStop, Qt::LeftButton); });
        });
        w->form->Text1[3]->setText(NewServer);
        QTest::mouseClick(find().CommandBatchConfigure, Qt::LeftButton);
        QTRY_VERIFY(!find().Busy());

        QVERIFY(stopped);
        QCOMPARE(result(chosen[0]), QStringLiteral("成功")); // the reader in hand is finished
        for (const QString &address : chosen.mid(1)) {
            QVERIFY(untouched(address));
            QCOMPARE(result(address), QString());
        }
        QCOMPARE(find().LabelStatus->text(),
                 QStringLiteral("批量配置结束：成功 1 台，失败 0 台，停止后未处理 3 台。"));
    }

    // A target setting that the configure would refuse stops the batch before anything is sent.
    void aBadTargetSettingSendsNothing() {
        choose({"127.0.122.15", "127.0.122.14"});
        w->form->Text1[4]->setText(QStringLiteral("0"));
        w->messages.shown.clear();
        QTest::mouseClick(find().CommandBatchConfigure, Qt::LeftButton);
        QCOMPARE(w->messages.shown.size(), 1);
        QVERIFY(w->messages.shown.first().contains(QStringLiteral("端口")));
        for (const QString &address : Site)
            QVERIFY(untouched(address));
    }
};

QTEST_MAIN(TestFindReadersBatch)
#include "tst_findreaders_batch.moc"
