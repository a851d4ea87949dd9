#pragma once

#include "SettingsChange.h"

#include <QList>
#include <QString>

namespace vrxctl {

// The longest cell a batch file may hold, in characters: no setting comes near it, and a longer cell
// is never copied into a message.
constexpr int MaxBatchCell = 1024;

// One reader of a batch file.
struct BatchRow {
    int line = 0;
    QString address; // canonical, where the reader is now; for a bad row the cell as it was
    SettingsChange change;
    QString keys;    // the key file of the "keys" column as written; empty: none (or --keys)
    QString invalid; // why the row is skipped; empty for a good row
    bool ok() const { return invalid.isEmpty(); }
};

struct BatchFile {
    QList<BatchRow> rows;
    bool settingsColumns = false; // the header names at least one setting
    bool keysColumn = false;
    QString error; // the file as a whole is unusable (no header, unknown column, bad quoting)
};

// A CSV file whose header names the column "address" and any of the settings, each by configure's
// option name (ip, mask, gateway, port, server-ip, ...) or by the key of read --json and the column of
// scan and discover --csv (reader_ip, subnet_mask, ..., server_ip, ...), and optionally "keys" (a key
// file per row). The columns scan and discover write that describe the reader rather than set it
// (interface, duplicate_mac, reach) are ignored, so their CSV is a batch file as written. An empty cell
// leaves the setting as the reader has it, and so does a cell that holds what the reader reports. Each row is
// checked whole before anything is sent: its address, and its settings by the window's checks on top of a
// complete valid set.
BatchFile ParseBatchFile(const QString &text);

} // namespace vrxctl
