#include "app/WindowCommandLine.h"

#include <QCommandLineParser>

namespace vrx {

WindowCommandLine ReadWindowCommandLine(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads and writes the settings of VRX networked card readers and downloads their keys.\n"
        "Each operation sends from UDP port 1000 of this computer to port 1001 of the reader."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Print the version and exit."));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("The window's language for this run: zh (Chinese) or en "
                                                     "(English). Without it, the language last chosen in "
                                                     "the window's Language menu; at first, Chinese."),
                                      QStringLiteral("zh|en"));
    parser.addOptions({help, version, language});
    // "-platform" or "-reverse" (the toolkit's) must not read as -p -l -a … or as -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);

    WindowCommandLine result;
    const bool understood = parser.parse(arguments);
    if (parser.isSet(help)) {
        result.action = WindowCommandLine::Action::PrintHelp;
        // The parser names the program after the application object, which need not exist yet.
        const QString help = parser.helpText();
        result.text = QStringLiteral("Usage: vrx-config [options]") + help.mid(help.indexOf(u'\n'));
        return result;
    }
    if (parser.isSet(version)) {
        result.action = WindowCommandLine::Action::PrintVersion;
        result.text = QStringLiteral("vrx-config %1\n").arg(QStringLiteral(VRX_VERSION));
        return result;
    }
    if (!understood) {
        result.action = WindowCommandLine::Action::Refuse;
        result.text = parser.errorText();
        return result;
    }
    if (parser.isSet(language)) {
        result.language = LanguageFromCode(parser.value(language));
        if (!result.language) {
            result.action = WindowCommandLine::Action::Refuse;
            result.text = QStringLiteral("--language takes zh or en, not \"%1\"").arg(parser.value(language));
        }
    }
    if (result.action == WindowCommandLine::Action::Run && !parser.positionalArguments().isEmpty()) {
        result.action = WindowCommandLine::Action::Refuse;
        result.text = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().front());
    }
    return result;
}

} // namespace vrx
