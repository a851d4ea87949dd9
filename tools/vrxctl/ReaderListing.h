#pragma once

#include "Console.h"

#include "net/FoundReader.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>

namespace vrxctl {

// How scan and discover print the readers they found, one item per reader in the order given.
enum class ListingFormat { Table, Json, Csv };

// --json and --csv, for the commands that list readers.
QList<QCommandLineOption> ListingOptions();

// The format --json or --csv asks for (through *format); false with an error text when both are given.
bool ReadListingFormat(const QCommandLineParser &parser, ListingFormat *format, QString *error);

struct ListingColumns {
    bool interface = false; // discover: the card each reader answered on, beside its address
    bool reach = false;     // discover: how to reach a reader outside its card's subnet
};

// The table's rows end with a note on a shared MAC; the JSON items and the CSV rows carry it as
// "duplicate_mac". With `reach`, a reader outside its card's subnet gets a line under its row saying
// how to reach it, and the JSON items and CSV rows a "reach" member. Returns how many readers share
// their MAC with another.
int PrintReaders(Console &console, const QList<vrx::FoundReader> &readers, ListingFormat format,
                 ListingColumns columns = {});

// Ends the summary line under a table: how many of the readers share a MAC, when any do.
void EndSummary(Console &console, int shared);

// One warning on stderr per MAC that answered at more than one address.
void WarnSharedMacs(Console &console, const QList<vrx::FoundReader> &readers);

// One warning on stderr per address at which readers with different MACs answered on one card: two
// devices share the address (new readers all at their factory address).
void WarnSharedAddresses(Console &console, const QList<vrx::FoundReader> &readers);

// The line under a table row for a reader outside its card's subnet.
QString ReachNoteText(const vrx::FoundReader &reader);

} // namespace vrxctl
