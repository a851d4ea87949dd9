#pragma once

#include "net/FoundReader.h"

#include <QList>

namespace vrx {

// The order readers are listed in: by address (numerically: 10.0.0.9 before 10.0.0.10), a reader
// heard on several cards in the order of the cards' names, and readers sharing one address by their
// MACs.
bool ListedBefore(const FoundReader &a, const FoundReader &b);

// Puts the readers in that order, keeping the order they came in where it sees no difference.
void SortFoundReaders(QList<FoundReader> &readers);

// Sets each reader's sameMacAt to the other addresses that answered with its MAC. A reader heard at
// one address on two cards shares its MAC with nobody: only a second address makes a duplicate.
void MarkSharedMacs(QList<FoundReader> &readers);

} // namespace vrx
