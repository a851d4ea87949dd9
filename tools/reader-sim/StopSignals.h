#pragma once

class QCoreApplication;

namespace vrx {

// Makes the stop requests of the system end the event loop, so that the simulator says it stopped:
// SIGINT and SIGTERM on Linux (StopSignalsLinux.cpp); Ctrl+C, Ctrl+Break and closing the console on
// Windows (StopSignalsWindows.cpp). False when they cannot be caught.
bool QuitOnStopSignals(QCoreApplication &app);

} // namespace vrx
