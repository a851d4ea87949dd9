#pragma once

#include "EmulatedLan.h"

#include <QList>
#include <QTextStream>

namespace vrx::lan::bench {

// The middle of the values (the upper one of the two middles for an even count).
double Median(QList<double> values);

// Each line measures on the standard LAN, prints its result line(s) and returns false when a run
// failed (what failed goes to stderr).
bool DiscoverLine(const EmulatedLan &lan, int runs, QTextStream &out);

} // namespace vrx::lan::bench
