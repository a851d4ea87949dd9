#pragma once

#include "app/FindReadersTexts.h"
#include "net/FoundReader.h"

namespace vrx {

// How the "查找读卡器" table orders its rows by a column's settings: addresses and the MAC by their
// bytes (10.0.0.9 before 10.0.0.10), ports by their numbers, choices by the reader's codes, the card by
// its name and address. Less than zero when a comes first, zero when the column sees no difference.
// The result column is the dialog's own and compares equal here.
int CompareByColumn(const FoundReader &a, const FoundReader &b, FoundColumn column);

} // namespace vrx
