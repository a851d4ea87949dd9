#pragma once

#include "app/WindowLanguage.h"

#include <QStringList>

#include <optional>

namespace vrx {

// What vrx-config's command line asks for: to run the window (in the language given with --language,
// if any), or only to print the help or the version, or nothing sensible (an unknown option).
struct WindowCommandLine {
    enum class Action { Run, PrintHelp, PrintVersion, Refuse };
    Action action = Action::Run;
    std::optional<Language> language;
    // The help or the version to print, or why the command line is refused.
    QString text;
};

// Reads `arguments` (the program's name first). Needs no application object, so --help and --version
// work without a display.
WindowCommandLine ReadWindowCommandLine(const QStringList &arguments);

} // namespace vrx
