#pragma once

#include <QString>

namespace vrxctl {

// The local address the system would send from to reach the reader (port 1001), found by connecting
// an unbound UDP socket and reading its local address: connecting a UDP socket sends nothing.
// Empty when there is no route.
QString RouteLocalAddress(const QString &reader);

} // namespace vrxctl
