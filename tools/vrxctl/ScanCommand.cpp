#include "CommandLine.h"
#include "Commands.h"
#include "CsvText.h"
#include "EnglishMessages.h"
#include "ExitCode.h"
#include "SettingsView.h"
#include "Trace.h"

#include "net/AddressRange.h"
#include "net/ReaderLink.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSet>

namespace vrxctl {

namespace {

struct Found {
    QString address;
    vrx::ReaderSettings settings;
    QStringList sameMacAt; // the other addresses that answered with this MAC
};

void FlagDuplicateMacs(QList<Found> &found) {
    QMap<QString, QStringList> byMac;
    for (const Found &reader : found)
        byMac[FieldText(reader.settings, SettingField::Mac)].append(reader.address);
    for (Found &reader : found) {
        QStringList others = byMac.value(FieldText(reader.settings, SettingField::Mac));
        others.removeOne(reader.address);
        reader.sameMacAt = others;
    }
}

void PrintTable(Console &console, const QList<Found> &found, qsizetype scanned) {
    const QString row = QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9\n");
    console.out << row.arg(QStringLiteral("ADDRESS"), -15)
                       .arg(QStringLiteral("MAC"), -17)
                       .arg(QStringLiteral("READER IP"), -15)
                       .arg(QStringLiteral("PORT"), -5)
                       .arg(QStringLiteral("SERVER"), -21)
                       .arg(QStringLiteral("PROTOCOL"), -10)
                       .arg(QStringLiteral("HEARTBEAT"), -9)
                       .arg(QStringLiteral("BEEP"), -4)
                       .arg(QStringLiteral("KEYS"));
    int duplicates = 0;
    for (const Found &reader : found) {
        const auto text = [&](SettingField field) { return FieldText(reader.settings, field); };
        QString line = row.arg(reader.address, -15)
                           .arg(text(SettingField::Mac), -17)
                           .arg(text(SettingField::ReaderIp), -15)
                           .arg(text(SettingField::ReaderPort), -5)
                           .arg(text(SettingField::ServerIp) + u':' + text(SettingField::ServerPort), -21)
                           .arg(text(SettingField::Protocol), -10)
                           .arg(text(SettingField::Heartbeat), -9)
                           .arg(text(SettingField::Beep), -4)
                           .arg(text(SettingField::KeySource));
        if (!reader.sameMacAt.isEmpty()) {
            line.chop(1);
            line += QStringLiteral("  DUPLICATE MAC (also at %1)\n")
                        .arg(reader.sameMacAt.join(QStringLiteral(", ")));
            ++duplicates;
        }
        console.out << line;
    }
    console.out << QStringLiteral("%1 of %2 addresses answered").arg(found.size()).arg(scanned);
    if (duplicates)
        console.out << QStringLiteral("; %1 of them share a MAC with another reader").arg(duplicates);
    console.out << ".\n";
}

QStringList CsvHeader() {
    QStringList header{QStringLiteral("address")};
    for (const SettingName &name : SettingNames())
        header.append(QLatin1String(name.jsonKey));
    header.append(QStringLiteral("duplicate_mac"));
    return header;
}

} // namespace

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
        return ReportSocketError(console, failure, options.link);
    }

    QList<Found> found;
    for (const vrx::Exchange &exchange : exchanges)
        if (const auto settings = vrx::ReportedSettings(exchange))
            found.append({exchange.target, *settings, {}});
    FlagDuplicateMacs(found);
    QSet<QString> warned;
    for (const Found &reader : found)
        if (!reader.sameMacAt.isEmpty() && !warned.contains(FieldText(reader.settings, SettingField::Mac))) {
            warned.insert(FieldText(reader.settings, SettingField::Mac));
            console.err << "vrxctl: warning: MAC " << FieldText(reader.settings, SettingField::Mac)
                        << " answers at " << reader.address << " and "
                        << reader.sameMacAt.join(QStringLiteral(", ")) << Qt::endl;
        }

    if (parser.isSet(QStringLiteral("json"))) {
        QStringList objects;
        for (const Found &reader : found) {
            JsonMembers members{{QStringLiteral("address"), reader.address}};
            members += SettingsJsonMembers(reader.settings);
            members.append({QStringLiteral("duplicate_mac"), !reader.sameMacAt.isEmpty()});
            objects.append(JsonObjectText(members, 4));
        }
        console.out << (objects.isEmpty() ? QStringLiteral("[]\n")
                                          : QStringLiteral("[\n") + objects.join(QStringLiteral(",\n")) +
                                                QStringLiteral("\n]\n"));
    } else if (parser.isSet(QStringLiteral("csv"))) {
        console.out << CsvLine(CsvHeader()) << '\n';
        for (const Found &reader : found) {
            QStringList cells{reader.address};
            for (const SettingName &name : SettingNames())
                cells.append(FieldText(reader.settings, name.field));
            cells.append(reader.sameMacAt.isEmpty() ? QStringLiteral("no") : QStringLiteral("yes"));
            console.out << CsvLine(cells) << '\n';
        }
    } else {
        PrintTable(console, found, addresses.addresses.size());
    }
    console.out.flush();
    if (found.isEmpty())
        return Fail(console, NotConfirmed,
                    QStringLiteral("no reader answered in %1 addresses").arg(addresses.addresses.size()));
    return Success;
}

} // namespace vrxctl
