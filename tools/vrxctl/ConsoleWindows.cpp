#include "Console.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace vrxctl {

namespace {

UINT g_previousCodePage = 0;

void RestoreCodePage() {
    ::SetConsoleOutputCP(g_previousCodePage);
}

// A console shows the UTF-8 that vrxctl writes (card names in any language, the arrows of a trace) only
// in code page 65001; a pipe or a file takes the bytes as they are. The console is the prompt's too, so
// its code page is given back at exit.
bool PrepareConsole() {
    DWORD mode = 0;
    const bool errIsConsole = ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
    const bool outIsConsole = ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
    if ((errIsConsole || outIsConsole) && ::GetConsoleOutputCP() != CP_UTF8) {
        g_previousCodePage = ::GetConsoleOutputCP();
        ::SetConsoleOutputCP(CP_UTF8);
        std::atexit(RestoreCodePage);
    }
    return errIsConsole;
}

} // namespace

Console &Console::standard() {
    static const bool errIsConsole = PrepareConsole();
    static QTextStream out(stdout);
    static QTextStream err(stderr);
    static Console console{out, err, errIsConsole};
    return console;
}

} // namespace vrxctl
