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

// What the kernel's neighbour table admits, measured on a LAN of the computer: queries go to addresses
// where nobody answers ARP until the kernel refuses one for want of a table entry; that many at once,
// and the time until it admits the next (when it gives the first ARPs up).
struct Admission {
    int atOnce = 0;
    qint64 lifetimeMs = 0;
    double perSecond() const { return lifetimeMs > 0 ? atOnce * 1000.0 / lifetimeMs : 0; }
};
// From the computer's address on lanName, to addresses counting up from firstFree (nobody there).
Admission MeasureAdmission(const EmulatedLan &lan, const QString &lanName, const QString &firstFree,
                           QString *error);
// Waits until the ARPs of the step before have been given up and empties the computers' neighbour
// tables of the LANs, so that each step starts from a table in which only the machine's own entries
// are in use.
void LetArpsSettle(const Admission &admission, const QList<const EmulatedLan *> &lans);

// A directly attached /16 with readers near both ends and a host in the middle: a LAN of its own, so that
// the standard LAN's lines see the cards they expect.
inline const QString Sixteen = QStringLiteral("S");
void DescribeSixteen(EmulatedLan &lan);

// vrxctl scan of a LAN's whole subnet, directly attached: its time against the bound the neighbour table
// sets (its addresses at the admitted rate; goal 1.2 or less) and the readers found (goal all).
bool ScanLine(const EmulatedLan &lan, const Admission &admission, const QString &what, const QString &lanName,
              QTextStream &out);

} // namespace vrx::lan::bench
