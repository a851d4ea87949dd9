// The window's own operations and the dialog's scan on one local port at the same time: the window reads
// and downloads keys to its reader while the scan runs, and the scan still finds every reader of its
// range; the window's socket, bound between operations, does not keep the scan from starting either.
// Both on the same address (127.0.82.1:1000), and with an empty 本机IP, where the window binds every
// address (0.0.0.0:1000) and the scan the address of the route to its targets (127.0.0.1:1000). Runs in
// a network namespace of its own (see PrivateNetwork.h), or, where none can be made, alone.
#include "FindReadersDriver.h"
#include "PrivateNetwork.h"

#include <QApplication>
#include <QLabel>

using namespace vrx;

namespace {

const QString Computer = QStringLiteral("127.0.82.1");
const QString WindowReader = QStringLiteral("127.0.82.200");
const QStringList ScannedReaders{"127.0.82.10", "127.0.82.20", "127.0.82.30"};
const QString ReadSuccess = QStringLiteral("获取设备参数成功！");
const QString KeysSuccess = QStringLiteral("下载密码成功！");
QString g_network; // where the test runs, for the log

} // namespace

class TestFindReadersSharing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("network: %s", qPrintable(g_network)); }
    void windowOperationsDuringAScanOnTheSameAddress_data();
    void windowOperationsDuringAScanOnTheSameAddress();
};

void TestFindReadersSharing::windowOperationsDuringAScanOnTheSameAddress_data() {
    QTest::addColumn<QString>("computer");
    QTest::addColumn<bool>("windowFirst");
    QTest::newRow("one address, the window's socket bound first") << Computer << true;
    QTest::newRow("one address, the scan first") << Computer << false;
    QTest::newRow("every address for the window, bound first") << QString() << true;
    QTest::newRow("every address for the window, the scan first") << QString() << false;
}

void TestFindReadersSharing::windowOperationsDuringAScanOnTheSameAddress() {
    QFETCH(QString, computer);
    QFETCH(bool, windowFirst);
    FindReadersDriver w(computer);
    QString error;
    QVERIFY2(w.addReader(WindowReader, {}, &error), qPrintable(error));
    for (const QString &reader : ScannedReaders)
        QVERIFY2(w.addReader(reader, {}, &error), qPrintable(error));
    w.form->TextFindIP[0]->setText(WindowReader);

    if (windowFirst) {
        // The window has read once: its socket stays bound to port 1000 between operations.
        QTest::mouseClick(w.form->Command1, Qt::LeftButton);
        QCOMPARE(w.messages.shown, QStringList{ReadSuccess});
        QCOMPARE(w.form->SSock->State(), 1);
        w.messages.shown.clear();
    }

    FindReaders &find = w.dialog();
    w.startScan(QStringLiteral("127.0.82.2-127.0.82.150"));
    QVERIFY(find.Searching());

    QTest::mouseClick(w.form->Command1, Qt::LeftButton);
    QCOMPARE(w.messages.shown, QStringList{ReadSuccess}); // a failure of either would show here
    QVERIFY2(find.Searching(), "the scan ended before the read: it proves nothing");
    QTest::mouseClick(w.form->Command5, Qt::LeftButton);
    QCOMPARE(w.messages.shown, QStringList({ReadSuccess, KeysSuccess}));
    QVERIFY2(find.Searching(), "the scan ended before the key download: it proves nothing");
    w.messages.shown.clear();

    QVERIFY(w.waitUntilDone());
    QStringList listed;
    for (const QStringList &row : w.rows())
        listed << row.first();
    QCOMPARE(listed, ScannedReaders);
    QCOMPARE(w.messages.shown, QStringList()); // no socket error from the scan either

    // Both went out from port 1000 of one address: 本机IP, or the route's for every address.
    const QString from = computer.isEmpty() ? QStringLiteral("127.0.0.1") : computer;
    for (const auto &reader : w.readers) {
        QVERIFY(!reader->received().isEmpty());
        for (const WireRecord &record : reader->received()) {
            QCOMPARE(record.peer, from);
            QCOMPARE(record.peerPort, quint16(1000));
        }
    }
    QCOMPARE(w.form->Text1[6]->text(), WindowReader);
}

int main(int argc, char *argv[]) {
    QString why;
    g_network = EnterPrivateNetwork(&why) ? QStringLiteral("a namespace of its own")
                                          : QStringLiteral("this machine's (%1)").arg(why);
    QApplication app(argc, argv);
    TestFindReadersSharing test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_findreaders_sharing.moc"
