#pragma once

// The computer's side of a test on loopback. Each test binds the computer's socket to a 127.x address of
// its own, so that tests and engineers running side by side never share a port. Under wine that cannot
// hold: a wine program that binds any loopback address but 127.0.0.1 gets the any-address on the Linux
// side. There the computer binds 127.0.0.1, and the simulated readers keep their own addresses through
// the native reader relay (ReaderSocket) that scripts/test-windows.sh starts.

#include <QString>
#include <QTest>

#ifdef Q_OS_WIN
#include <QLibrary>
#endif

namespace vrx::test {

// True when this Windows program runs under wine, whose ntdll alone has wine_get_version.
inline bool UnderWine() {
#ifdef Q_OS_WIN
    static const bool wine = QLibrary::resolve(QStringLiteral("ntdll"), "wine_get_version") != nullptr;
    return wine;
#else
    return false;
#endif
}

// The address a test gives the computer: its own, or 127.0.0.1 under wine.
inline QString ComputerAddress(const QString &own) {
    return UnderWine() ? QStringLiteral("127.0.0.1") : own;
}

} // namespace vrx::test

// Skips a test, or a row of one, under wine only, with the reason on the line.
#define VRX_SKIP_UNDER_WINE(reason)                                                                         \
    do {                                                                                                    \
        if (vrx::test::UnderWine())                                                                         \
            QSKIP(reason);                                                                                  \
    } while (false)
