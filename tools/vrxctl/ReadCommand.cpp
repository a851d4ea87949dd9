#include "CommandLine.h"
#include "Commands.h"
#include "ExitCode.h"
#include "ReaderOperations.h"
#include "Trace.h"

#include "config/ParameterBlock.h"

#include <QJsonDocument>

namespace vrxctl {

int RunRead(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(parser, QStringLiteral("Prints a reader's network and behaviour settings."));
    parser.addPositionalArgument(QStringLiteral("READER"), QStringLiteral("The reader's address."));
    parser.addOption({QStringLiteral("json"),
                      QStringLiteral("Print one JSON object with the keys reader_ip, subnet_mask, gateway, "
                                     "reader_port, server_ip, server_port, mac, protocol, heartbeat, beep, "
                                     "key_source.")});
    if (const auto exit = ParseCommand(parser, QStringLiteral("read"), arguments, console))
        return *exit;

    CommonOptions options;
    QString reader;
    if (const auto exit = ReadReaderArgument(parser, QStringLiteral("read"), console, &options, &reader))
        return *exit;
    if (const auto exit = BindLocalFor(reader, console, &options))
        return *exit;

    Trace trace(&console.err, options.trace);
    ReaderLink link(options.link, &trace);
    std::optional<vrx::ReaderSettings> settings;
    int wrongLength = -1;
    try {
        settings = ReadSettings(link, reader, -1, nullptr, &wrongLength);
    } catch (const vrx::SocketException &failure) {
        return ReportSocketError(console, failure);
    }
    if (!settings && wrongLength >= 0)
        return Fail(console, NotConfirmed,
                    QStringLiteral("the reply from %1 was %2 bytes long, not the %3 of a parameter block")
                        .arg(reader)
                        .arg(wrongLength)
                        .arg(vrx::ParameterBlock::Size));
    if (!settings)
        return Fail(console, NotConfirmed,
                    QStringLiteral("no reply from %1 within %2 ms").arg(reader).arg(options.link.timeoutMs));
    if (parser.isSet(QStringLiteral("json")))
        console.out << JsonObjectText(SettingsJsonMembers(*settings)) << '\n';
    else
        console.out << SettingsTable(*settings);
    console.out.flush();
    return Success;
}

} // namespace vrxctl
