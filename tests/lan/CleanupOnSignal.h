#pragma once

#include <sys/types.h>

namespace vrx::lan {

// What a LAN fixture has made and must not outlive it: its simulator processes and its namespaces. The
// record is read from signal handlers, so it is a fixed table of plain slots; registering is cheap.
//
// Once installed, SIGINT, SIGTERM, SIGHUP and SIGABRT first kill every recorded process and remove every
// recorded namespace, then go on to whatever handled the signal before (QtTest's, or the default).
// A SIGKILL leaves the leftovers to RemoveStaleLans() of the next fixture.
namespace cleanup {

void InstallSignalHandlers();

// Both return a slot to forget it by (-1 when the table is full: the stale-run removal still finds it).
int RecordProcess(pid_t pid);
int RecordNamespace(const char *path);
void Forget(int slot);

// What the handlers do, for tests: kills the recorded processes with SIGKILL and removes the namespaces.
void RemoveEverythingRecorded();

} // namespace cleanup
} // namespace vrx::lan
