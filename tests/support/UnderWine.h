#pragma once

#include <QLibrary>

namespace vrx::test {

// True when the Windows build runs under wine rather than on Windows: wine's ntdll exports its version.
// A row that cannot hold under wine skips there with its reason and still runs on Windows itself.
inline bool UnderWine() {
#ifdef Q_OS_WIN
    static const bool wine = QLibrary::resolve(QStringLiteral("ntdll"), "wine_get_version") != nullptr;
    return wine;
#else
    return false;
#endif
}

} // namespace vrx::test
