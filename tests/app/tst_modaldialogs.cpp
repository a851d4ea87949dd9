// The real modal boxes and file dialogs, answered as an operator would while they wait.
#include "app/FileChooser.h"
#include "app/MessageBox.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace vrx;

namespace {

// Runs `answer` on the modal dialog of type T once it is shown, from inside its own event loop.
template <typename T>
void WhenShown(std::function<void(T *)> answer) {
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            dialog && dialog->isVisible()) {
            poll->deleteLater();
            poll->stop();
            answer(dialog);
        }
    });
    poll->start(10);
}

QPushButton *ButtonWithText(QWidget *box, const QString &text) {
    for (QPushButton *button : box->findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

} // namespace

class TestModalDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
#ifdef Q_OS_WIN
        // On Windows a file dialog is the system's own, which a test cannot name a file in: Qt's own
        // dialog runs the same chooser (its default suffix, its remembered folder) in its place.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
#endif
    }

    void confirmationAccepted() {
        QString title;
        WhenShown<QMessageBox>([&](QMessageBox *box) {
            title = box->windowTitle();
            QTest::mouseClick(ButtonWithText(box, "导出"), Qt::LeftButton);
        });
        ModalMessageBox messages;
        QVERIFY(messages.Confirm("导出吗？", "导出"));
        QCOMPARE(title, QStringLiteral("VRX系列在线配置软件"));
    }

    void confirmationCancelled() {
        WhenShown<QMessageBox>(
            [](QMessageBox *box) { QTest::mouseClick(ButtonWithText(box, "取消"), Qt::LeftButton); });
        ModalMessageBox messages;
        QVERIFY(!messages.Confirm("导出吗？", "导出"));
    }

    void enterAloneDeclines() {
        WhenShown<QMessageBox>([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Return); });
        ModalMessageBox messages;
        QVERIFY(!messages.Confirm("导出吗？", "导出"));
    }

    void saveDialogAddsTheSuffixAndRemembersTheFolder() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        WhenShown<QFileDialog>([&](QFileDialog *dialog) {
            // The dialog lists its folders on a thread of its own; once a listing lands it may put the
            // suggested name back into the name field. Name the file again until the dialog holds it
            // (with its default suffix), then accept at once, with nothing in between that could change it.
            // Accepted whatever happens, so that a failure shows in the comparison below, not as a hang.
            (void)QTest::qWaitFor(
                [&] {
                    dialog->selectFile(folder.filePath("door"));
                    return dialog->selectedFiles() == QStringList{folder.filePath("door.txt")};
                },
                5000);
            static_cast<QDialog *>(dialog)->accept(); // as the 保存 button does
        });
        DialogFileChooser files;
        const QString saved = files.FileToSave(nullptr, "导出密码", "keys.txt", "密码文件 (*.txt)");
        QCOMPARE(saved, folder.filePath("door.txt"));

        QString startFolder;
        WhenShown<QFileDialog>([&](QFileDialog *dialog) {
            startFolder = dialog->directory().absolutePath();
            dialog->reject();
        });
        QVERIFY(files.FileToOpen(nullptr, "导入密码", "密码文件 (*.txt)").isEmpty());
        QCOMPARE(startFolder, QDir(folder.path()).absolutePath());
    }
};

QTEST_MAIN(TestModalDialogs)
#include "tst_modaldialogs.moc"
