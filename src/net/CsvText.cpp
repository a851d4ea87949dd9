#include "net/CsvText.h"

namespace vrx {

CsvTable ParseCsv(const QString &text) {
    CsvTable table;
    int line = 1;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        CsvRecord record;
        record.line = line;
        // Whole-line comments and blank lines.
        int end = int(text.indexOf(u'\n', i));
        if (end < 0)
            end = n;
        const QString raw = text.mid(i, end - i).trimmed();
        if (raw.isEmpty() || raw.startsWith(u'#')) {
            i = end + 1;
            ++line;
            continue;
        }
        QString cell;
        bool quotedCell = false;
        bool atRecordEnd = false;
        while (!atRecordEnd) {
            if (i >= n) {
                atRecordEnd = true;
            } else if (text[i] == u'"' && cell.trimmed().isEmpty() && !quotedCell) {
                quotedCell = true;
                cell.clear();
                ++i;
                bool closed = false;
                while (i < n) {
                    if (text[i] == u'"') {
                        if (i + 1 < n && text[i + 1] == u'"') {
                            cell += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (text[i] == u'\n')
                        ++line;
                    cell += text[i++];
                }
                if (!closed) {
                    table.unclosedQuoteLine = record.line;
                    return table;
                }
                continue;
            } else if (text[i] == u',') {
                record.cells.append(quotedCell ? cell : cell.trimmed());
                cell.clear();
                quotedCell = false;
                ++i;
                continue;
            } else if (text[i] == u'\n') {
                atRecordEnd = true;
            } else {
                if (!quotedCell)
                    cell += text[i];
                ++i;
                continue;
            }
        }
        record.cells.append(quotedCell ? cell : cell.trimmed());
        table.records.append(record);
        ++i; // past the line break
        ++line;
    }
    return table;
}

QString CsvCell(const QString &text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString CsvLine(const QStringList &cells) {
    QStringList quoted;
    for (const QString &cell : cells)
        quoted.append(CsvCell(cell));
    return quoted.join(u',');
}

} // namespace vrx
