#include "CommandLine.h"
#include "Commands.h"
#include "EnglishMessages.h"
#include "ExitCode.h"
#include "ReaderListing.h"
#include "Trace.h"

#include "net/AddressRange.h"
#include "net/FoundReaders.h"
#include "net/ReaderLink.h"

namespace vrxctl {

int RunScan(const QStringList &arguments, Console &console) {
    QCommandLineParser parser;
    PrepareParser(
        parser, QStringLiteral("Sends the settings query to every address of the ranges and lists those that "
                               "answer with a parameter block, in address order. Queries go out paced and "
                               "replies are matched by sender, so a /24 takes about one wait. A MAC seen at "
                               "two addresses is flagged. At most 65536 addresses."));
    parser.addPositionalArgument(
        QStringLiteral("RANGE"),
        QStringLiteral("An address, a CIDR block (127.0.0.0/24) or a first-last range "
                       "(127.0.0.10-127.0.0.20 or 127.0.0.10-20)."),
        QStringLiteral("RANGE..."));
    parser.addOptions({
        {QStringLiteral("json"), QStringLiteral("Print a JSON array of the readers found.")},
        {QStringLiteral("csv"), QStringLiteral("Print CSV with a header line.")},
    });
    if (const auto exit = ParseCommand(parser, QStringLiteral("scan"), arguments, console))
        return *exit;

    CommonOptions options;
    QString error;
    if (!ReadCommonOptions(parser, &options, &error))
        return Fail(console, BadInput, error);
    if (parser.isSet(QStringLiteral("json")) && parser.isSet(QStringLiteral("csv")))
        return Fail(console, BadInput, QStringLiteral("give --json or --csv, not both"));
    const vrx::AddressList addresses = vrx::ExpandRanges(parser.positionalArguments());
    if (!addresses.ok())
        return Fail(console, BadInput, RangeProblemText(addresses));
    if (addresses.addresses.isEmpty())
        return Fail(console, BadInput, QStringLiteral("the ranges hold no address"));

    if (const auto exit = BindLocalFor(vrx::AddressText(addresses.addresses.front()), console, &options))
        return *exit;
    std::vector<vrx::Exchange> exchanges;
    exchanges.reserve(addresses.addresses.size());
    for (quint32 address : addresses.addresses)
        exchanges.push_back(vrx::ReadExchange(vrx::AddressText(address), options.link.local));

    Trace trace(&console.err, options.trace);
    vrx::ReaderLink link(options.link, &trace);
    try {
        link.run(exchanges);
    } catch (const vrx::SocketException &failure) {
        return ReportSocketError(console, failure);
    }

    QList<vrx::FoundReader> found;
    for (const vrx::Exchange &exchange : exchanges)
        if (const auto settings = vrx::ReportedSettings(exchange)) {
            vrx::FoundReader reader;
            reader.address = exchange.target;
            reader.settings = *settings;
            found.append(reader);
        }
    vrx::MarkSharedMacs(found);
    WarnSharedMacs(console, found);

    const ListingFormat format = parser.isSet(QStringLiteral("json"))  ? ListingFormat::Json
                                 : parser.isSet(QStringLiteral("csv")) ? ListingFormat::Csv
                                                                       : ListingFormat::Table;
    const int shared = PrintReaders(console, found, format);
    if (format == ListingFormat::Table) {
        console.out << QStringLiteral("%1 of %2 addresses answered")
                           .arg(found.size())
                           .arg(addresses.addresses.size());
        if (shared)
            console.out << QStringLiteral("; %1 of them share a MAC with another reader").arg(shared);
        console.out << ".\n";
    }
    console.out.flush();
    if (found.isEmpty())
        return Fail(console, NotConfirmed,
                    QStringLiteral("no reader answered in %1 addresses").arg(addresses.addresses.size()));
    return Success;
}

} // namespace vrxctl
