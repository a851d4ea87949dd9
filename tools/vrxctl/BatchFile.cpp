#include "BatchFile.h"

#include "AddressSettings.h"
#include "CommandLine.h"
#include "ShownText.h"

#include "net/CsvText.h"

#include "fields/AddressText.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace vrxctl {

using vrx::CsvRecord;
using vrx::CsvTable;
using vrx::ParseCsv;

namespace {

QStringList OptionNames() {
    QStringList names;
    for (const SettingName &setting : SettingNames())
        names.append(QLatin1String(setting.option));
    return names;
}

// What scan and discover --csv say about a reader beside its settings: nothing to write.
bool DescribesTheReader(const QString &name) {
    return name == QLatin1String("interface") || name == QLatin1String("duplicate_mac") ||
           name == QLatin1String("reach");
}

std::optional<SettingField> SettingNamed(const QString &name) {
    for (const SettingName &setting : SettingNames())
        if (name == QLatin1String(setting.option) || name == QLatin1String(setting.jsonKey))
            return setting.field;
    return std::nullopt;
}

// A reader named twice is configured once, by its first good row: the later ones are skipped with
// their reason, which is the one warning.
void MarkRepeatedAddresses(QList<BatchRow> &rows) {
    QHash<QString, int> firstLine;
    for (BatchRow &row : rows) {
        if (!row.ok())
            continue;
        const auto earlier = firstLine.constFind(row.address);
        if (earlier == firstLine.constEnd())
            firstLine.insert(row.address, row.line);
        else
            row.invalid = QStringLiteral("the reader at %1 is already configured by line %2")
                              .arg(row.address)
                              .arg(*earlier);
    }
}

} // namespace

BatchFile ParseBatchFile(const QString &text) {
    BatchFile file;
    const CsvTable table = ParseCsv(text);
    if (table.unclosedQuoteLine > 0) {
        file.error = QStringLiteral("line %1: a quoted cell is not closed").arg(table.unclosedQuoteLine);
        return file;
    }
    if (table.records.isEmpty()) {
        file.error = QStringLiteral("the file has no header line");
        return file;
    }
    const CsvRecord &header = table.records.first();
    int addressColumn = -1;
    int keysColumn = -1;
    QList<std::optional<SettingField>> columns;
    for (int c = 0; c < header.cells.size(); ++c) {
        const QString name = header.cells[c].toLower();
        const std::optional<SettingField> field = SettingNamed(name);
        int *single = name == QLatin1String("address") ? &addressColumn
                      : name == QLatin1String("keys")  ? &keysColumn
                                                       : nullptr;
        if (single) {
            if (*single >= 0) {
                file.error =
                    QStringLiteral("line %1: the column \"%2\" appears twice").arg(header.line).arg(name);
                return file;
            }
            *single = c;
        } else if (field) {
            if (columns.contains(field)) {
                file.error = QStringLiteral("line %1: the setting of column \"%2\" appears twice")
                                 .arg(header.line)
                                 .arg(EscapedText(header.cells[c].left(MaxBatchCell)));
                return file;
            }
        } else if (!DescribesTheReader(name)) {
            file.error =
                QStringLiteral("line %1: unknown column \"%2\"; the columns are address, keys and %3 "
                               "(or their names in read --json)")
                    .arg(header.line)
                    .arg(EscapedText(header.cells[c].left(MaxBatchCell)))
                    .arg(OptionNames().join(QStringLiteral(", ")));
            return file;
        }
        columns.append(field);
    }
    file.keysColumn = keysColumn >= 0;
    file.settingsColumns =
        std::any_of(columns.begin(), columns.end(), [](const auto &f) { return f.has_value(); });
    if (addressColumn < 0) {
        file.error = QStringLiteral("line %1: the header has no column \"address\"").arg(header.line);
        return file;
    }

    for (qsizetype r = 1; r < table.records.size(); ++r) {
        const CsvRecord &record = table.records[r];
        BatchRow row;
        row.line = record.line;
        const QString addressText = record.cells.value(addressColumn);
        row.address = addressText;
        const auto longCell = std::find_if(record.cells.begin(), record.cells.end(),
                                           [](const QString &cell) { return cell.size() > MaxBatchCell; });
        const auto address = ReaderAddress(addressText);
        if (longCell != record.cells.end()) {
            // No setting is that long; the cell is not copied into any message or listing.
            row.address = addressText.size() > MaxBatchCell ? QString() : addressText;
            row.invalid = QStringLiteral("column %1: a cell of %2 characters, more than %3")
                              .arg(header.cells.value(int(longCell - record.cells.begin())))
                              .arg(longCell->size())
                              .arg(MaxBatchCell);
        } else if (record.cells.size() != header.cells.size()) {
            row.invalid = QStringLiteral("%1 cells where the header has %2")
                              .arg(record.cells.size())
                              .arg(header.cells.size());
        } else if (!address) {
            row.invalid = NotAnAddressText(QStringLiteral("address"), addressText);
        } else {
            row.address = *address;
            if (keysColumn >= 0)
                row.keys = record.cells[keysColumn];
            for (int c = 0; c < record.cells.size(); ++c)
                if (columns[c] && !record.cells[c].isEmpty())
                    row.change.values.insert(*columns[c], record.cells[c]);
            if (const auto bad = FirstBadAddress(row.change)) {
                row.invalid =
                    NotAnAddressText(QLatin1String(NameOf(*bad).option), row.change.values.value(*bad));
            } else if (const EncodedChange check = EncodeChange(CheckingBase(), row.change); !check.ok) {
                row.invalid = ChangeErrorText(check);
            }
        }
        file.rows.append(row);
    }
    MarkRepeatedAddresses(file.rows);
    return file;
}

} // namespace vrxctl
