#pragma once

#include "SettingsChange.h"

#include <QList>
#include <QString>

namespace vrxctl {

// One reader of a batch file.
struct BatchRow {
    int line = 0;
    QString address; // canonical, where the reader is now
    SettingsChange change;
    QString invalid; // why the row is skipped; empty for a good row
    bool ok() const { return invalid.isEmpty(); }
};

struct BatchFile {
    QList<BatchRow> rows;
    QString error; // the file as a whole is unusable (no header, unknown column, bad quoting)
};

// A CSV file whose header names the column "address" and any of configure's option names (ip, mask,
// gateway, port, server-ip, server-port, mac, protocol, heartbeat, beep, key-source). An empty cell
// leaves the setting as the reader has it. Each row is checked whole before anything is sent: its
// address, and its settings by the window's checks on top of a complete valid set.
BatchFile ParseBatchFile(const QString &text);

} // namespace vrxctl
