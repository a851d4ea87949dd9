// What the operator can do while an operation waits for its reply: the read leaves the buttons
// enabled, so another operation can start inside its wait, and the window can be closed during any
// wait. Neither may crash, and the window must stay usable.
#include "ComputerAddress.h"
#include "ReaderWindow.h"

#include <QTest>
#include <QTimer>

using namespace vrx;

namespace {
// The window's own address; 127.0.0.1 under wine, where the readers keep theirs through the relay.
const QString Computer = vrx::test::ComputerAddress(QStringLiteral("127.0.43.1"));
const QString Reader = QStringLiteral("127.0.43.101");
const QString ReadFailure = QStringLiteral("获取设备参数失败！");
const QString ReadSuccess = QStringLiteral("获取设备参数成功！");
const QString ConfigureFailure = QStringLiteral(
    "设置失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！\r\n\r\n");
const QString KeyFailure = QStringLiteral(
    "下载密码失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！");
} // namespace

class TestOperationReentry : public QObject {
    Q_OBJECT

    std::unique_ptr<ReaderWindow> w;

    QPushButton *button(const QString &name) const { return w->form->findChild<QPushButton *>(name); }
    void fillKeys() {
        for (FieldEdit *field : w->form->TextPass)
            field->setText(QStringLiteral("FFFFFFFFFFFF"));
    }
    // A read against the reader, answering again: proves the window and its socket still work.
    void readSucceeds() {
        w->reader->setSilent(false);
        w->messages.shown.clear();
        QTest::mouseClick(w->form->Command1, Qt::LeftButton);
        QCOMPARE(w->messages.shown, QStringList{ReadSuccess});
    }

    // Runs the action once the reader has received the n-th frame, from the event loop of the wait
    // that is running then: each operation sends one frame, so the n-th operation is waiting.
    void onFrame(int n, std::function<void()> action) {
        connect(w->reader.get(), &SimulatedReader::datagramReceived, this, [this, n, action] {
            if (w->reader->received().size() == n)
                QTimer::singleShot(0, this, action);
        });
    }

private slots:
    void init() {
        w = std::make_unique<ReaderWindow>(Computer, Reader);
        QString error;
        QVERIFY2(w->start(&error), qPrintable(error));
        fillKeys();
        w->reader->setSilent(true);
    }
    void cleanup() { w.reset(); }

    void clickDuringReadWait_data() {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("configure") << "Command3" << QStringList{ConfigureFailure, ReadFailure};
        QTest::newRow("key download") << "Command5" << QStringList{KeyFailure, ReadFailure};
        QTest::newRow("read") << "Command1" << QStringList{ReadFailure, ReadFailure};
    }
    void clickDuringReadWait() {
        QFETCH(QString, second);
        QFETCH(QStringList, shown);
        bool clicked = false;
        onFrame(1, [&] {
            QVERIFY(button(second)->isEnabled()); // the read leaves the buttons enabled
            QTest::mouseClick(button(second), Qt::LeftButton);
            clicked = true;
        });

        QTest::mouseClick(w->form->Command1, Qt::LeftButton);

        QVERIFY(clicked);
        QCOMPARE(w->messages.shown, shown);
        QVERIFY(w->buttonsEnabled());
        QCOMPARE(w->framesFromWindow().size(), 2);
        readSucceeds();
    }

    void closeDuringWait_data() {
        QTest::addColumn<QStringList>("clicks"); // each further one while the previous one waits
        QTest::addColumn<bool>("deleteAtOnce");  // delete the window, or close it as a deleting window
        for (const bool deleteAtOnce : {false, true}) {
            const char *how = deleteAtOnce ? "deleted" : "closed";
            QTest::addRow("%s during a read", how) << QStringList{"Command1"} << deleteAtOnce;
            QTest::addRow("%s during a configure", how) << QStringList{"Command3"} << deleteAtOnce;
            QTest::addRow("%s during a key download", how) << QStringList{"Command5"} << deleteAtOnce;
            QTest::addRow("%s during a configure inside a read", how)
                << QStringList{"Command1", "Command3"} << deleteAtOnce;
        }
    }
    void closeDuringWait() {
        QFETCH(QStringList, clicks);
        QFETCH(bool, deleteAtOnce);
        for (int index = 1; index < clicks.size(); ++index)
            onFrame(index, [&, index] { QTest::mouseClick(button(clicks[index]), Qt::LeftButton); });
        onFrame(int(clicks.size()), [&] {
            if (deleteAtOnce) {
                delete w->form.data();
            } else {
                w->form->setAttribute(Qt::WA_DeleteOnClose);
                w->form->close();
            }
        });

        QTest::mouseClick(button(clicks[0]), Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(w->form.isNull(), 2000);
        QCOMPARE(w->messages.shown, QStringList{}); // nothing reported for a window that is gone
        QCOMPARE(w->framesFromWindow().size(), clicks.size());

        // The socket went with the window: a new window binds port 1000 on the same address again.
        w->form = new Form1(w->messages);
        w->form->TextPCIP->setText(Computer);
        w->form->TextFindIP[0]->setText(Reader);
        readSucceeds();
    }
};

QTEST_MAIN(TestOperationReentry)
#include "tst_operationreentry.moc"
