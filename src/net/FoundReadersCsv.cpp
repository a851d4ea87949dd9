#include "net/FoundReadersCsv.h"

#include "config/SettingField.h"
#include "net/CsvText.h"

namespace vrx {

QString FoundReadersCsv(const QList<FoundReader> &readers, FoundReadersCsvColumns columns) {
    QStringList header{QStringLiteral("address")};
    if (columns.interface)
        header.append(QStringLiteral("interface"));
    for (const SettingName &name : SettingNames())
        header.append(QLatin1String(name.jsonKey));
    header.append(QStringLiteral("duplicate_mac"));
    if (columns.reach)
        header.append(QStringLiteral("reach"));
    QString text = CsvLine(header) + u'\n';
    for (const FoundReader &reader : readers) {
        QStringList cells{reader.address};
        if (columns.interface)
            cells.append(reader.card);
        for (const SettingName &name : SettingNames())
            cells.append(FieldText(reader.settings, name.field));
        cells.append(reader.sameMacAt.isEmpty() ? QStringLiteral("no") : QStringLiteral("yes"));
        if (columns.reach)
            cells.append(reader.reachNote);
        text += CsvLine(cells) + u'\n';
    }
    return text;
}

} // namespace vrx
