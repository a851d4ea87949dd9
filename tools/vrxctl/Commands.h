#pragma once

#include "Console.h"

#include <QStringList>

namespace vrxctl {

// Each command takes the arguments after its name and returns the exit code.
int RunRead(const QStringList &arguments, Console &console);
int RunConfigure(const QStringList &arguments, Console &console);
int RunKeys(const QStringList &arguments, Console &console);
int RunScan(const QStringList &arguments, Console &console);
int RunDiscover(const QStringList &arguments, Console &console);
int RunBatch(const QStringList &arguments, Console &console);

} // namespace vrxctl
