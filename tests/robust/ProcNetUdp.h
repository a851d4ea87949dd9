#pragma once

#include <QHostAddress>

#include <optional>

// What the kernel says of the IPv4 UDP socket bound to address:port (/proc/net/udp): the memory its
// queued datagrams take, and how many datagrams it threw away because that queue was full. The counts
// belong to one socket: a new bind starts again from 0.
struct UdpSocketCounters {
    quint64 queuedBytes = 0; // rx_queue: 0 once the owner has taken everything
    quint64 drops = 0;
};

// Nothing when no such socket is bound or the table cannot be read.
std::optional<UdpSocketCounters> UdpSocketState(const QHostAddress &address, quint16 port);

// How the kernel writes address:port in that table: the address as the 32-bit value of its bytes in
// network order, then the port, both in upper-case hexadecimal ("0132007F:03E8" for 127.0.50.1:1000
// on a little-endian machine).
QString ProcNetUdpEndpoint(const QHostAddress &address, quint16 port);
