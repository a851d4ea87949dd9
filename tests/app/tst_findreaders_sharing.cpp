// The window's own operations and the dialog's scan on the same local address and port (127.0.82.1:1000)
// at the same time: the window reads and downloads keys to its reader while the scan runs, and the scan
// still finds every reader of its range; the window's socket, bound between operations, does not keep
// the scan from starting either.
#include "FindReadersDriver.h"

#include <QLabel>

using namespace vrx;

namespace {

const QString Computer = QStringLiteral("127.0.82.1");
const QString WindowReader = QStringLiteral("127.0.82.200");
const QStringList ScannedReaders{"127.0.82.10", "127.0.82.20", "127.0.82.30"};
const QString ReadSuccess = QStringLiteral("获取设备参数成功！");
const QString KeysSuccess = QStringLiteral("下载密码成功！");

} // namespace

class TestFindReadersSharing : public QObject {
    Q_OBJECT

private slots:
    void windowOperationsDuringAScanOnTheSameAddress_data();
    void windowOperationsDuringAScanOnTheSameAddress();
};

void TestFindReadersSharing::windowOperationsDuringAScanOnTheSameAddress_data() {
    QTest::addColumn<int>("round");
    // Twice: the second scan starts while the window's socket and the first scan's leftovers come and go.
    QTest::newRow("first scan") << 1;
    QTest::newRow("second scan") << 2;
}

void TestFindReadersSharing::windowOperationsDuringAScanOnTheSameAddress() {
    QFETCH(int, round);
    FindReadersDriver w(Computer);
    QString error;
    QVERIFY2(w.addReader(WindowReader, {}, &error), qPrintable(error));
    for (const QString &reader : ScannedReaders)
        QVERIFY2(w.addReader(reader, {}, &error), qPrintable(error));
    w.form->TextFindIP[0]->setText(WindowReader);

    // The window has read once: its socket stays bound to 127.0.82.1:1000 between operations.
    QTest::mouseClick(w.form->Command1, Qt::LeftButton);
    QCOMPARE(w.messages.shown, QStringList{ReadSuccess});
    QCOMPARE(w.form->SSock->State(), 1);
    w.messages.shown.clear();

    FindReaders &find = w.dialog();
    for (int scan = 0; scan < round; ++scan) {
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
    }

    // Both went out from the one address and port.
    for (const auto &reader : w.readers) {
        QVERIFY(!reader->received().isEmpty());
        for (const WireRecord &record : reader->received()) {
            QCOMPARE(record.peer, Computer);
            QCOMPARE(record.peerPort, quint16(1000));
        }
    }
    QCOMPARE(w.form->Text1[6]->text(), WindowReader);
}

QTEST_MAIN(TestFindReadersSharing)
#include "tst_findreaders_sharing.moc"
