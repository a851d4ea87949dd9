#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vrx {

// One CSV record and the line on which it begins.
struct CsvRecord {
    int line = 0;
    QStringList cells;
};

struct CsvTable {
    QList<CsvRecord> records;  // blank lines and lines starting with "#" are left out
    int unclosedQuoteLine = 0; // where a quoted cell that is never closed begins; 0: none
};

// Comma-separated cells; a cell in double quotes may hold commas, line breaks and "" for a quote.
// Cells outside quotes are trimmed.
CsvTable ParseCsv(const QString &text);

// A cell quoted when it holds a comma, a quote or a line break.
QString CsvCell(const QString &text);
QString CsvLine(const QStringList &cells);

} // namespace vrx
