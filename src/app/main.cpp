#include "app/Form1.h"
#include "app/MessageBox.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vrx-config"));
    QApplication::setApplicationVersion(QStringLiteral(VRX_VERSION));
    // Ties the window to its menu entry and icon when installed; harmless when run from the build tree.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vrxconfig.VrxConfig"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.vrxconfig.VrxConfig")));

    vrx::ModalMessageBox messages;
    // Closing the window ends the program, also in the middle of an operation's wait: the window is
    // deleted, the waiting handler sees it gone and returns without a box over a vanished window.
    auto *window = new vrx::Form1(messages);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return app.exec();
}
