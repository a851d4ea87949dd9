#include "app/Form1.h"
#include "app/MessageBox.h"
#include "app/WindowCommandLine.h"
#include "app/WindowLanguage.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

namespace {

QStringList RawArguments(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Prints `text` on `stream` and gives the exit code.
int Print(std::FILE *stream, const QString &text, int code) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    if (!text.endsWith(u'\n'))
        std::fputc('\n', stream);
    return code;
}

} // namespace

int main(int argc, char *argv[]) {
    using vrx::WindowCommandLine;
    QApplication::setApplicationName(QStringLiteral("vrx-config"));
    QApplication::setApplicationVersion(QStringLiteral(VRX_VERSION));

    // --help and --version are answered before the toolkit starts, so they work without a display.
    // The toolkit's own options (-platform, -style) are not known yet and count only after it started.
    const WindowCommandLine early = vrx::ReadWindowCommandLine(RawArguments(argc, argv));
    if (early.action == WindowCommandLine::Action::PrintHelp ||
        early.action == WindowCommandLine::Action::PrintVersion)
        return Print(stdout, early.text, 0);

    QApplication app(argc, argv);
    const WindowCommandLine options = vrx::ReadWindowCommandLine(QApplication::arguments());
    if (options.action == WindowCommandLine::Action::Refuse)
        return Print(stderr, QStringLiteral("vrx-config: %1\nTry 'vrx-config --help'.").arg(options.text), 2);

    // Ties the window to its menu entry and icon when installed; harmless when run from the build tree.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vrxconfig.VrxConfig"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("io.github.vrxconfig.VrxConfig")));

    // Chinese unless the user chose English in the window before, or asks for it on the command line.
    vrx::UseLanguage(vrx::StartingLanguage(options.language));

    vrx::ModalMessageBox messages;
    // Closing the window ends the program, also in the middle of an operation's wait: the window is
    // deleted, the waiting handler sees it gone and returns without a box over a vanished window.
    auto *window = new vrx::Form1(messages);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return app.exec();
}
