#include "ReaderListing.h"

#include "SettingsView.h"

#include "net/AddressRange.h"
#include "net/FoundReadersCsv.h"
#include "net/ReachAdvice.h"

#include <QJsonObject>
#include <QMap>
#include <QSet>

namespace vrxctl {

namespace {

QString Mac(const vrx::FoundReader &reader) {
    return FieldText(reader.settings, SettingField::Mac);
}

std::optional<vrx::ReachAdvice> Advice(const vrx::FoundReader &reader) {
    const auto address = vrx::StrictAddress(reader.address);
    if (reader.reachNote.isEmpty() || !address)
        return std::nullopt;
    return vrx::ReachAdviceFor(reader.card, *address, reader.settings);
}

void PrintTable(Console &console, const QList<vrx::FoundReader> &readers, ListingColumns columns) {
    const QString row = QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8\n");
    const auto start = [&](const QString &address, const QString &card) {
        QString text = QStringLiteral("%1  ").arg(address, -15);
        if (columns.interface)
            text += QStringLiteral("%1  ").arg(card, -9);
        return text;
    };
    console.out << start(QStringLiteral("ADDRESS"), QStringLiteral("INTERFACE"))
                << row.arg(QStringLiteral("MAC"), -17)
                       .arg(QStringLiteral("READER IP"), -15)
                       .arg(QStringLiteral("PORT"), -5)
                       .arg(QStringLiteral("SERVER"), -21)
                       .arg(QStringLiteral("PROTOCOL"), -10)
                       .arg(QStringLiteral("HEARTBEAT"), -9)
                       .arg(QStringLiteral("BEEP"), -4)
                       .arg(QStringLiteral("KEYS"));
    for (const vrx::FoundReader &reader : readers) {
        const auto text = [&](SettingField field) { return FieldText(reader.settings, field); };
        QString line = start(reader.address, reader.card) +
                       row.arg(text(SettingField::Mac), -17)
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
        }
        console.out << line;
        if (columns.reach && !reader.reachNote.isEmpty())
            console.out << QStringLiteral("  note: ") << ReachNoteText(reader) << '\n';
    }
}

JsonMembers ItemMembers(const vrx::FoundReader &reader, ListingColumns columns) {
    JsonMembers members{{QStringLiteral("address"), reader.address}};
    if (columns.interface)
        members.append({QStringLiteral("interface"), reader.card});
    members += SettingsJsonMembers(reader.settings);
    members.append({QStringLiteral("duplicate_mac"), !reader.sameMacAt.isEmpty()});
    if (columns.reach) {
        const auto advice = Advice(reader);
        members.append({QStringLiteral("reach"),
                        advice ? QJsonValue(QJsonObject{{QStringLiteral("add"), advice->addCommand()},
                                                        {QStringLiteral("remove"), advice->removeCommand()}})
                               : QJsonValue()});
    }
    return members;
}

void PrintJson(Console &console, const QList<vrx::FoundReader> &readers, ListingColumns columns) {
    QStringList objects;
    for (const vrx::FoundReader &reader : readers)
        objects.append(JsonObjectText(ItemMembers(reader, columns), 4));
    console.out << (objects.isEmpty() ? QStringLiteral("[]\n")
                                      : QStringLiteral("[\n") + objects.join(QStringLiteral(",\n")) +
                                            QStringLiteral("\n]\n"));
}

void PrintCsv(Console &console, const QList<vrx::FoundReader> &readers, ListingColumns columns) {
    console.out << vrx::FoundReadersCsv(readers, {columns.interface, columns.reach});
}

} // namespace

QList<QCommandLineOption> ListingOptions() {
    return {
        {QStringLiteral("json"), QStringLiteral("Print a JSON array of the readers found.")},
        {QStringLiteral("csv"), QStringLiteral("Print CSV with a header line.")},
    };
}

bool ReadListingFormat(const QCommandLineParser &parser, ListingFormat *format, QString *error) {
    const bool json = parser.isSet(QStringLiteral("json"));
    const bool csv = parser.isSet(QStringLiteral("csv"));
    if (json && csv) {
        *error = QStringLiteral("give --json or --csv, not both");
        return false;
    }
    *format = json ? ListingFormat::Json : csv ? ListingFormat::Csv : ListingFormat::Table;
    return true;
}

void EndSummary(Console &console, int shared) {
    if (shared)
        console.out << QStringLiteral("; %1 of them share a MAC with another reader").arg(shared);
    console.out << ".\n";
}

void WarnSharedAddresses(Console &console, const QList<vrx::FoundReader> &readers) {
    QMap<QString, QStringList> macsByPlace;
    for (const vrx::FoundReader &reader : readers)
        macsByPlace[reader.address + QStringLiteral(" on ") + reader.card].append(
            FieldText(reader.settings, SettingField::Mac));
    for (auto place = macsByPlace.cbegin(); place != macsByPlace.cend(); ++place)
        if (place->size() > 1)
            console.err << "vrxctl: warning: " << place->size() << " readers answer at " << place.key()
                        << " (MAC " << place->join(QStringLiteral(", "))
                        << "); give each an address of its own" << Qt::endl;
}

QString ReachNoteText(const vrx::FoundReader &reader) {
    const auto advice = Advice(reader);
    if (!advice)
        return {};
    return QStringLiteral("%1 answered from outside the subnet of %2 (%3). To reach it, give %2 an address "
                          "in its subnet for this session: %4 (and take it away afterwards: %5)")
        .arg(reader.address, reader.card, reader.cardAddress, advice->addCommand(), advice->removeCommand());
}

int PrintReaders(Console &console, const QList<vrx::FoundReader> &readers, ListingFormat format,
                 ListingColumns columns) {
    int shared = 0;
    for (const vrx::FoundReader &reader : readers)
        shared += reader.sameMacAt.isEmpty() ? 0 : 1;
    switch (format) {
    case ListingFormat::Table:
        PrintTable(console, readers, columns);
        break;
    case ListingFormat::Json:
        PrintJson(console, readers, columns);
        break;
    case ListingFormat::Csv:
        PrintCsv(console, readers, columns);
        break;
    }
    return shared;
}

void WarnSharedMacs(Console &console, const QList<vrx::FoundReader> &readers) {
    QSet<QString> warned;
    for (const vrx::FoundReader &reader : readers) {
        if (reader.sameMacAt.isEmpty() || warned.contains(Mac(reader)))
            continue;
        warned.insert(Mac(reader));
        console.err << "vrxctl: warning: MAC " << Mac(reader) << " answers at " << reader.address << " and "
                    << reader.sameMacAt.join(QStringLiteral(", ")) << Qt::endl;
    }
}

} // namespace vrxctl
