// 复制原参数到目标 end to end: read a reader, copy what was read into the target panel, make one edit
// and configure. The block the reader receives is the block it answered with, but for that edit.
#include "ComputerAddress.h"
#include "ReaderWindow.h"

#include "config/ParameterBlock.h"

#include <QCheckBox>
#include <QTest>

using namespace vrx;

namespace {
// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.120.1"));
const QString Reader = QStringLiteral("127.0.120.101");

// A reader far from the factory settings in every field, its MAC not the automatic one.
ReaderSettings WorkingReader(ReaderSettings settings) {
    settings.subnetMask = {255, 255, 0, 0};
    settings.defaultGateway = {127, 0, 120, 254};
    settings.serverIp = {127, 0, 120, 50};
    settings.readerPort = 2345;
    settings.serverPort = 4321;
    settings.readerMac = {0x02, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE};
    settings.readerProtocol = Protocol::TcpClient;
    settings.heartbeat = Heartbeat::DoNotSend;
    settings.beepOnRead = Beep::Silent;
    settings.keySource = KeySource::Reader;
    return settings;
}
} // namespace

class TestCopyFormer : public QObject {
    Q_OBJECT

    std::unique_ptr<ReaderWindow> w;
    Form1 &form() { return *w->form; }

    void edit(const QString &name, const QString &value) {
        if (auto *list = form().findChild<ListBox *>(name))
            list->setCurrentIndex(value.toInt());
        else if (auto *field = form().findChild<FieldEdit *>(name))
            field->setText(value);
        else
            QFAIL(qPrintable(QStringLiteral("no control %1").arg(name)));
    }

private slots:
    void init() {
        w = std::make_unique<ReaderWindow>(Computer, Reader);
        QString error;
        QVERIFY2(w->start(&error), qPrintable(error));
        w->reader->setSettings(WorkingReader(w->reader->settings()));
    }
    void cleanup() { w.reset(); }

    void configureSendsWhatWasReadButTheEdit_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes"); // what the edit puts at offset of the block read

        QTest::newRow("no edit") << QString() << QString() << 0 << QByteArray();
        QTest::newRow("服务器计算机IP")
            << "Text1_3"
            << "10.1.2.3" << int(ParameterBlock::ServerIpOffset) << QByteArray::fromHex("0A010203");
        QTest::newRow("读卡器端口") << "Text1_4"
                                    << "4000" << int(ParameterBlock::ReaderPortOffset)
                                    << QByteArray::fromHex("0FA0");
        // 自动 is unticked, so a new address keeps the MAC that was read.
        QTest::newRow("读卡器IP keeps the MAC")
            << "Text1_0"
            << "127.0.120.102" << int(ParameterBlock::ReaderIpOffset) << QByteArray::fromHex("7F007866");
        QTest::newRow("MAC") << "TextMac_0"
                             << "02-00-00-00-00-01" << int(ParameterBlock::ReaderMacOffset)
                             << QByteArray::fromHex("020000000001");
        QTest::newRow("读卡器协议") << "CombUDP_0"
                                    << "0" << int(ParameterBlock::ProtocolOffset)
                                    << QByteArray::fromHex("00");
        QTest::newRow("读卡时蜂鸣器") << "CombBeep_0"
                                      << "1" << int(ParameterBlock::BeepOffset) << QByteArray::fromHex("FF");
    }
    void configureSendsWhatWasReadButTheEdit() {
        QFETCH(QString, control);
        QFETCH(QString, value);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);

        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->reader->sent().size(), 1);
        const QByteArray blockRead = w->reader->sent().first().bytes;
        QCOMPARE(blockRead.size(), ParameterBlock::Size);

        QTest::mouseClick(form().CommandCopy, Qt::LeftButton);
        QVERIFY(!form().Check1->isChecked());
        QVERIFY(form().TextMac[0]->isEnabled());
        if (!control.isEmpty())
            edit(control, value);
        w->messages.shown.clear();
        QTest::mouseClick(form().Command3, Qt::LeftButton);

        QByteArray expected = blockRead;
        expected.replace(offset, bytes.size(), bytes);
        const QList<QByteArray> frames = w->framesFromWindow();
        QCOMPARE(frames.size(), 2); // the query, then the block
        QCOMPARE(frames.last().toHex(' '), expected.toHex(' '));
        QVERIFY(w->messages.shown.value(0).startsWith(QStringLiteral("设置成功！")));
    }

    // Before any read the former panel holds nothing of a reader: nothing is copied.
    void copyBeforeAReadChangesNothing() {
        const QString target = form().Text1[3]->text();
        QTest::mouseClick(form().CommandCopy, Qt::LeftButton);
        QCOMPARE(w->messages.shown, QStringList{QStringLiteral("请先读取读卡器参数，再复制到目标。")});
        QCOMPARE(form().Text1[3]->text(), target);
        QVERIFY(form().Check1->isChecked());
    }

    // A code outside a list cannot be selected in the target box: it selects nothing, so the configure
    // names the setting instead of writing a value the reader never had.
    void aCodeOutsideItsListSelectsNothing() {
        ReaderSettings odd = w->reader->settings();
        odd.readerProtocol = 7;
        w->reader->setSettings(odd);
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QTest::mouseClick(form().CommandCopy, Qt::LeftButton);
        QCOMPARE(form().CombUDP[0]->currentIndex(), -1);
        QCOMPARE(form().CombPass[0]->currentIndex(), 1);
    }
};

QTEST_MAIN(TestCopyFormer)
#include "tst_copyformer.moc"
