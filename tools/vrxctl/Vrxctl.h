#pragma once

#include "Console.h"

#include <QStringList>

namespace vrxctl {

// The whole tool: "vrxctl <command> ..." without the program name; returns the exit code.
int RunVrxctl(const QStringList &arguments, Console &console);

} // namespace vrxctl
