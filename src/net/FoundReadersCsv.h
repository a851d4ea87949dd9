#pragma once

#include "net/FoundReader.h"

#include <QList>
#include <QString>

namespace vrx {

// The columns a listing of found readers may carry besides the settings.
struct FoundReadersCsvColumns {
    bool interface = false; // the card each reader answered on, beside its address
    bool reach = false;     // how to reach a reader outside its card's subnet
};

// The readers as CSV, a header line first: address, [interface,] the eleven settings by their JSON
// names, duplicate_mac (yes/no), [reach]. One line per reader in the order given, each ending in a
// line feed. vrxctl scan and discover print it; the window's "查找读卡器" exports it.
QString FoundReadersCsv(const QList<FoundReader> &readers, FoundReadersCsvColumns columns = {});

} // namespace vrx
