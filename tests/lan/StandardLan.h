#pragma once

#include "EmulatedLan.h"

#include <QHash>

namespace vrx::lan::standard {

// The LAN the tests share, as a technician's site might be:
//   LAN A 198.18.16.0/20 on the computer's eth0 (198.18.16.2): 8 readers at scattered addresses, from
//         near its start to its last host address, and one host that answers ARP only (198.18.20.20);
//   LAN B 198.18.32.0/24 on the computer's eth1 (198.18.32.2): 3 readers and the router (198.18.32.1);
//   LAN C 198.18.48.0/24 behind the router (198.18.48.1): 3 readers.
// Ask the LAN for the exact sets: lan.readersOn(A), lan.hostsOn(A), lan.computerAddress(B), ...
inline const QString A = QStringLiteral("A");
inline const QString B = QStringLiteral("B");
inline const QString C = QStringLiteral("C");
inline const QString Router = QStringLiteral("router");

// Describes the standard LAN in lan (start() builds it). readerOptions gives simulator options by reader
// address, e.g. {{"198.18.17.33", {"--restart-delay", "1500"}}}.
void Describe(EmulatedLan &lan, const QHash<QString, QStringList> &readerOptions = {});

} // namespace vrx::lan::standard
