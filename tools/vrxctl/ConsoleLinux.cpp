#include "Console.h"

#include <cstdio>
#include <unistd.h>

namespace vrxctl {

Console &Console::standard() {
    static QTextStream out(stdout);
    static QTextStream err(stderr);
    static Console console{out, err, isatty(fileno(stderr)) == 1};
    return console;
}

} // namespace vrxctl
