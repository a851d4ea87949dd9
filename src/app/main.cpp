#include "app/Form1.h"
#include "app/MessageBox.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vrx-config"));
    QApplication::setApplicationVersion(QStringLiteral(VRX_VERSION));
    // Ties the window to its menu entry and icon when installed; harmless when run from the build tree.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vrxconfig.VrxConfig"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.vrxconfig.VrxConfig")));

    // The window speaks Chinese whatever the system's language, so the toolkit's own texts (the file
    // dialogs' buttons, a line edit's context menu) should too. Without the translations installed
    // they stay in English; nothing else changes.
    QTranslator toolkitTexts;
    if (toolkitTexts.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&toolkitTexts);

    vrx::ModalMessageBox messages;
    // Closing the window ends the program, also in the middle of an operation's wait: the window is
    // deleted, the waiting handler sees it gone and returns without a box over a vanished window.
    auto *window = new vrx::Form1(messages);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return app.exec();
}
