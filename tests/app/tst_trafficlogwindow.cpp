// The traffic log window through the real widgets: the rows of a read, a configure and a key download
// against a simulated reader on loopback, the datagrams the window ignores and why, the keys masked
// until "显示密码" is ticked, "复制" and "清除", and recording from the start, open or not, with a row
// for a wait that got no reply.
#include "ComputerAddress.h"
#include "ReaderWindow.h"
#include "app/TrafficLogWindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace vrx;
using Column = TrafficLog::Column;

namespace {
// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.113.1"));
const QString Reader = QStringLiteral("127.0.113.101");
const QString Stranger = QStringLiteral("127.0.113.102");
const QString OwnAddress = QStringLiteral("127.0.113.5");
const QString Masked = QStringLiteral("**");

// Key field i holds twelve digits made of its own number, so no two fields are alike.
QString KeyText(int field) {
    return QStringLiteral("%1").arg(field + 0x10, 2, 16, QLatin1Char('0')).repeated(6).toUpper();
}

QString Hex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
} // namespace

class TestTrafficLogWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<ReaderWindow> w;

    Form1 &form() { return *w->form; }

    TrafficLogWindow *openLog() {
        form().ShowTrafficLog();
        return form().findChild<TrafficLogWindow *>();
    }
    static QAbstractItemModel *rows(TrafficLogWindow *log) { return log->Table->model(); }
    static QString cell(TrafficLogWindow *log, int row, Column column) {
        return rows(log)->index(row, int(column)).data().toString();
    }
    // The row's direction, peer, length and meaning.
    static QStringList describe(TrafficLogWindow *log, int row) {
        return {cell(log, row, Column::Direction), cell(log, row, Column::Peer),
                cell(log, row, Column::Length), cell(log, row, Column::Meaning)};
    }
    void click(QPushButton *button, const QString &report) {
        w->messages.shown.clear();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(w->messages.shown.value(0).left(report.size()), report);
    }
    QPushButton *button(const QString &name) { return form().findChild<QPushButton *>(name); }

private slots:
    void init() {
        w = std::make_unique<ReaderWindow>(Computer, Reader);
        QString error;
        QVERIFY2(w->start(&error), qPrintable(error));
        form().Text1[0]->setText(Reader); // the configure keeps the reader where it is
        for (int field = 0; field < 32; ++field)
            form().TextPass[field]->setText(KeyText(field));
        w->messages.shown.clear();
    }
    void cleanup() { w.reset(); }

    void opensOnceWithItsTitle() {
        TrafficLogWindow *log = openLog();
        QVERIFY(log);
        QVERIFY(log->isVisible());
        QCOMPARE(log->windowTitle(), QStringLiteral("通信记录"));
        QCOMPARE(log->CheckShowKeys->text(), QStringLiteral("显示密码"));
        QCOMPARE(log->CommandCopy->text(), QStringLiteral("复制"));
        QCOMPARE(log->CommandClear->text(), QStringLiteral("清除"));
        QVERIFY(!log->CheckShowKeys->isChecked());
        form().ShowTrafficLog();
        QCOMPARE(form().findChildren<TrafficLogWindow *>().size(), 1);
    }

    void operationIsListed_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QStringList>("received");
        QTest::addColumn<bool>("keys");
        QTest::addColumn<Faults>("faults");

        const QString peer = Reader + QStringLiteral(":1001");
        QTest::newRow("read") << "Command1"
                              << "获取设备参数成功！" << QStringList{"发送", peer, "8", "参数查询"}
                              << QStringList{"接收", peer, "41", "参数块，状态21"} << false << Faults();
        QTest::newRow("configure") << "Command3"
                                   << "设置成功！" << QStringList{"发送", peer, "41", "参数块（配置）"}
                                   << QStringList{"接收", peer, "41", "配置回显，一致，状态11"} << false
                                   << Faults();
        QTest::newRow("key download")
            << "Command5"
            << "下载密码成功！" << QStringList{"发送", peer, "200", "密码帧"}
            << QStringList{"接收", peer, "200", "密码回显，一致，状态31"} << true << Faults();
        QTest::newRow("configure, echo differs")
            << "Command3"
            << "设置失败" << QStringList{"发送", peer, "41", "参数块（配置）"}
            << QStringList{"接收", peer, "41", "配置回显，不一致，状态12"} << false << Faults().corrupt();
        QTest::newRow("key download, echo differs")
            << "Command5"
            << "下载密码失败" << QStringList{"发送", peer, "200", "密码帧"}
            << QStringList{"接收", peer, "200", "密码回显，不一致，状态32"} << true << Faults().corrupt();
    }

    // Each operation's request and the reader's answer, as the reader saw and sent them.
    void operationIsListed() {
        QFETCH(QString, command);
        QFETCH(QString, report);
        QFETCH(QStringList, sent);
        QFETCH(QStringList, received);
        QFETCH(bool, keys);
        QFETCH(Faults, faults);

        QString error;
        QVERIFY2(ApplyFaults(*w->reader, faults, &error), qPrintable(error));
        TrafficLogWindow *log = openLog();
        click(button(command), report);
        QTRY_COMPARE(rows(log)->rowCount(), 2);
        QCOMPARE(describe(log, 0), sent);
        QCOMPARE(describe(log, 1), received);

        const QByteArray request = w->reader->received().value(0).bytes;
        const QByteArray answer = w->reader->sent().value(0).bytes;
        QVERIFY(!request.isEmpty() && !answer.isEmpty());
        QCOMPARE(cell(log, 0, Column::Bytes).contains(Masked), keys);
        QCOMPARE(cell(log, 1, Column::Bytes).contains(Masked), keys);
        for (const QString &key : {KeyText(0), KeyText(31)}) {
            const QString spaced = Hex(QByteArray::fromHex(key.toLatin1()));
            QVERIFY(!cell(log, 0, Column::Bytes).contains(spaced));
            QVERIFY(!cell(log, 1, Column::Bytes).contains(spaced));
        }

        // The view is told that the bytes changed, so that it shows them anew.
        QSignalSpy changed(rows(log), &QAbstractItemModel::dataChanged);
        QTest::mouseClick(log->CheckShowKeys, Qt::LeftButton);
        QVERIFY(log->CheckShowKeys->isChecked());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex(), rows(log)->index(0, int(Column::Bytes)));
        QCOMPARE(changed[0][1].toModelIndex(), rows(log)->index(1, int(Column::Bytes)));
        QCOMPARE(cell(log, 0, Column::Bytes), Hex(request));
        QCOMPARE(cell(log, 1, Column::Bytes), Hex(answer));

        const double sentAt = cell(log, 0, Column::Time).toDouble();
        const double answeredAt = cell(log, 1, Column::Time).toDouble();
        QVERIFY2(sentAt > 0 && answeredAt >= sentAt && answeredAt - sentAt < 200,
                 qPrintable(QStringLiteral("%1 %2").arg(sentAt).arg(answeredAt)));
        QCOMPARE(cell(log, 0, Column::Time), QString::number(sentAt, 'f', 1));
    }

    void ignoredDatagramSaysWhy_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("meaning");
        QTest::newRow("own address, 41") << OwnAddress << 41 << "忽略：来自本机IP";
        QTest::newRow("own address, 200") << OwnAddress << 200 << "忽略：来自本机IP";
        QTest::newRow("stranger, 41") << Stranger << 41 << "忽略：发送方不是读卡器IP";
        QTest::newRow("reader, 40") << Reader << 40 << "忽略：长度不符";
        QTest::newRow("reader, 42") << Reader << 42 << "忽略：长度不符";
        QTest::newRow("stranger, 8") << Stranger << 8 << "忽略：长度不符";
    }

    // After a read the socket stays bound and classifies whatever comes; test sockets send the
    // datagrams the window must ignore.
    void ignoredDatagramSaysWhy() {
        QFETCH(QString, from);
        QFETCH(int, length);
        QFETCH(QString, meaning);
        VRX_SKIP_UNDER_WINE("the test's sender binds its own 127.0.113.x address, which wine binds as the "
                            "any-address: the window sees 127.0.0.1");

        // This computer's address as the window took it at start-up: here one on loopback, so that the
        // test does not depend on the machine's cards.
        form().Exchange.LocalIp = OwnAddress;
        click(form().Command1, QStringLiteral("获取设备参数成功！"));
        TrafficLogWindow *log = openLog();
        QCOMPARE(rows(log)->rowCount(), 2); // the read's query and block, recorded with the log closed

        QUdpSocket sender;
        QVERIFY(sender.bind(QHostAddress(from), 0));
        const QByteArray datagram(length, '\x41');
        QCOMPARE(sender.writeDatagram(datagram, QHostAddress(Computer), 1000), qint64(length));
        QTRY_COMPARE(rows(log)->rowCount(), 3);
        QCOMPARE(describe(log, 2),
                 (QStringList{"接收", QStringLiteral("%1:%2").arg(from).arg(sender.localPort()),
                              QString::number(length), meaning}));
        QCOMPARE(form().Exchange.ExchangeStatus, Status::ParametersRead); // nothing changed
    }

    // An empty reader address reads as 0.0.0.0, which the socket refuses to send to.
    void failedSendIsListed() {
        TrafficLogWindow *log = openLog();
        form().TextFindIP[0]->setText(QString());
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown.size(), 2);
        QTRY_COMPARE(rows(log)->rowCount(), 1);
        QCOMPARE(describe(log, 0).mid(0, 3), (QStringList{"发送", "0.0.0.0:1001", "8"}));
        QCOMPARE(cell(log, 0, Column::Meaning),
                 QStringLiteral("参数查询，发送失败：") + w->messages.shown[0]);
    }

    void copyPutsTheRowsAsShownOnTheClipboard() {
        TrafficLogWindow *log = openLog();
        click(form().Command1, QStringLiteral("获取设备参数成功！"));
        click(form().Command5, QStringLiteral("下载密码成功！"));
        QTRY_COMPARE(rows(log)->rowCount(), 4);
        const QString key = Hex(QByteArray::fromHex(KeyText(7).toLatin1()));

        for (const bool showKeys : {false, true}) {
            log->CheckShowKeys->setChecked(showKeys);
            QGuiApplication::clipboard()->clear();
            QTest::mouseClick(log->CommandCopy, Qt::LeftButton);
            const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
            QCOMPARE(lines.size(), 5);
            QCOMPARE(lines[0], QStringLiteral("时间(ms)\t方向\t对方地址\t长度\t说明\t数据(十六进制)"));
            for (int row = 0; row < 4; ++row) {
                QStringList shown;
                for (int column = 0; column < TrafficLog::ColumnCount; ++column)
                    shown << cell(log, row, Column(column));
                QCOMPARE(lines[row + 1], shown.join(u'\t'));
            }
            QCOMPARE(lines[3].contains(key), showKeys);
            QCOMPARE(lines[4].contains(key), showKeys);
        }
    }

    // A flood fills the log faster than the view is told: it learns of the rows in batches, the oldest
    // going as the newest come, and keeps the newest in sight.
    void viewFollowsTheNewestTenThousand() {
        TrafficLogWindow *log = openLog();
        const auto record = [&](int first, int count) {
            for (int n = first; n < first + count; ++n)
                log->Log().RecordSent(Reader, quint16(n), ParameterQuery());
        };
        record(0, 10);
        QTRY_COMPARE(rows(log)->rowCount(), 10);
        record(10, TrafficLog::MaxRows);
        QTRY_COMPARE(cell(log, 0, Column::Peer), Reader + QStringLiteral(":10"));
        QCOMPARE(rows(log)->rowCount(), 10000);
        QCOMPARE(cell(log, 9999, Column::Peer), Reader + QStringLiteral(":10009"));
        record(10010, 3);
        QTRY_COMPARE(cell(log, 0, Column::Peer), Reader + QStringLiteral(":13"));
        QCOMPARE(rows(log)->rowCount(), 10000);
        QCOMPARE(cell(log, 9999, Column::Peer), Reader + QStringLiteral(":10012"));
        const QScrollBar *bar = log->Table->verticalScrollBar();
        QTRY_VERIFY(bar->maximum() > 0 && bar->value() == bar->maximum());
    }

    void clearEmptiesTheList() {
        TrafficLogWindow *log = openLog();
        click(form().Command1, QStringLiteral("获取设备参数成功！"));
        QTRY_COMPARE(rows(log)->rowCount(), 2);
        QTest::mouseClick(log->CommandClear, Qt::LeftButton);
        QCOMPARE(rows(log)->rowCount(), 0);
        click(form().Command1, QStringLiteral("获取设备参数成功！"));
        QTRY_COMPARE(rows(log)->rowCount(), 2);
        QCOMPARE(cell(log, 0, Column::Meaning), QStringLiteral("参数查询"));
    }

    // Closed, the log records on: opened again it shows what happened meanwhile, keys masked again.
    void closedLogRecordsOn() {
        QPointer<TrafficLogWindow> log = openLog();
        log->CheckShowKeys->setChecked(true);
        log->close();
        QTRY_VERIFY(!log);
        click(form().Command1, QStringLiteral("获取设备参数成功！"));
        log = openLog();
        QCOMPARE(rows(log)->rowCount(), 2);
        QCOMPARE(cell(log, 1, Column::Meaning), QStringLiteral("参数块，状态21"));
        QVERIFY(!log->CheckShowKeys->isChecked());
    }

    // A read that fails before the log was ever opened: the query and the wait that got no reply are
    // there when the technician opens it.
    void failedReadIsThereWhenTheLogOpens() {
        QVERIFY(!form().findChild<TrafficLogWindow *>());
        QString error;
        QVERIFY2(ApplyFaults(*w->reader, Faults().silence(), &error), qPrintable(error));
        QTest::mouseClick(form().Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown.size(), 1);
        QVERIFY2(!w->messages.shown[0].contains(QStringLiteral("成功")), qPrintable(w->messages.shown[0]));
        TrafficLogWindow *log = openLog();
        const QString peer = Reader + QStringLiteral(":1001");
        QCOMPARE(rows(log)->rowCount(), 2);
        QCOMPARE(describe(log, 0), (QStringList{"发送", peer, "8", "参数查询"}));
        QCOMPARE(describe(log, 1), (QStringList{"接收", peer, "", "200 ms 内没有回复"}));
        QCOMPARE(cell(log, 1, Column::Bytes), QString());
    }

    void logGoesWithTheWindow() {
        QPointer<TrafficLogWindow> log = openLog();
        click(form().Command1, QStringLiteral("获取设备参数成功！"));
        delete w->form.data();
        QVERIFY(!log);
    }
};

QTEST_MAIN(TestTrafficLogWindow)
#include "tst_trafficlogwindow.moc"
