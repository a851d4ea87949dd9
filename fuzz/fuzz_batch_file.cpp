// vrxctl's batch file: the CSV reader under it and the row checks on top. Line numbers only go
// forward; a good row names a canonical address and a change the window's checks accept, encoded as
// a marked 41-byte block that decodes to the settings it reports; a record written back with
// CsvLine reads back as the same cells.

#include "FuzzCheck.h"

#include "BatchFile.h"
#include "SettingsChange.h"
#include "net/CsvText.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"

using namespace vrx;
using namespace vrxctl;

namespace {

// Whether a record survives being written with CsvLine: unquoted cells come back trimmed, and a
// line that reads as blank or as a comment is left out.
bool WritesBackExactly(const QStringList &cells) {
    for (const QString &cell : cells) {
        if (CsvCell(cell) == cell && cell != cell.trimmed())
            return false;
    }
    const QString line = CsvLine(cells).trimmed();
    return !line.isEmpty() && !line.startsWith(u'#');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::Text(data, size);

    const CsvTable table = ParseCsv(text);
    int previousLine = 0;
    for (const CsvRecord &record : table.records) {
        FUZZ_CHECK(record.line > previousLine);
        FUZZ_CHECK(!record.cells.isEmpty());
        previousLine = record.line;
        if (WritesBackExactly(record.cells)) {
            const CsvTable again = ParseCsv(CsvLine(record.cells));
            FUZZ_CHECK(again.error.isEmpty() && again.records.size() == 1);
            FUZZ_CHECK(again.records.first().cells == record.cells);
        }
    }
    FUZZ_CHECK(table.error.isEmpty() || table.error.startsWith(QStringLiteral("line ")));

    const BatchFile file = ParseBatchFile(text);
    if (!table.error.isEmpty())
        FUZZ_CHECK(file.error == table.error);
    if (!file.error.isEmpty()) {
        FUZZ_CHECK(file.rows.isEmpty());
        return 0;
    }
    FUZZ_CHECK(file.rows.size() == table.records.size() - 1);
    for (qsizetype r = 0; r < file.rows.size(); ++r) {
        const BatchRow &row = file.rows[r];
        FUZZ_CHECK(row.line == table.records[r + 1].line);
        if (!row.ok())
            continue;
        const AddressParse parse = ParseIpAddress(row.address);
        FUZZ_CHECK(!row.address.isEmpty() && parse.ok() && DottedText(parse.bytes) == row.address);
        const EncodedChange encoded = EncodeChange(CheckingBase(), row.change);
        FUZZ_CHECK(encoded.ok && ChangeErrorText(encoded).isEmpty() && encoded.problems.isEmpty() &&
                   !encoded.choice);
        FUZZ_CHECK(encoded.block.size() == ParameterBlock::Size && ParameterBlock::hasMarkers(encoded.block));
        FUZZ_CHECK(ParameterBlock::decode(encoded.block) == encoded.result);
        FUZZ_CHECK(ParameterBlock::encode(encoded.result).mid(5, 30) == encoded.block.mid(5, 30));
    }
    return 0;
}
