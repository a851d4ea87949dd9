#pragma once

#include "SimulatedReader.h"

#include <QStringList>

namespace vrx {

// What the command line of vrx-reader-sim asks for.
struct SimulatorOptions {
    QStringList addresses; // one reader per address, each on port 1001; empty with a card
    QString card;          // one reader that is a device on this network card
    ReaderFaults faults;
    int restartDelayMs = 0;
    bool allowNonLoopback = false;
    QString relay; // "address:port": run a reader relay there instead of readers (ReaderRelay)
};

struct ParsedSimulatorOptions {
    enum Action { Run, ShowHelp, ShowVersion, Fail } action = Fail;
    SimulatorOptions options;
    QString text; // the help text, the version line, or what is wrong with the arguments
};

// arguments[0] is the program name. Without --address or --interface a single reader listens on
// 127.0.0.101.
ParsedSimulatorOptions ParseSimulatorOptions(const QStringList &arguments);

} // namespace vrx
