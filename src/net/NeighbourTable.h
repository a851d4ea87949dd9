#pragma once

#include <QSet>
#include <QString>

#include <memory>

namespace vrx {

// What the kernel's IPv4 neighbour table (ARP cache) holds and allows. Each address on a card's own
// network that is sent to needs an entry; until its ARP is answered or given up the entry can be
// neither used nor thrown away, and the kernel refuses new entries beyond `limit` (gc_thresh3). The
// limit and the count are the machine's, shared by every network namespace: a count read in one
// namespace includes the others'.
struct NeighbourTableUse {
    bool read = false;       // the kernel answered; otherwise the fields hold the kernel's defaults
    int limit = 1024;        // gc_thresh3
    int entries = 0;         // entries now, in all namespaces
    int collectableHere = 0; // of them, those of this namespace the kernel may drop to make room
    int unresolvedHere = 0;  // of them, those of this namespace whose ARP is under way
    QSet<quint32> knownHere; // addresses of this namespace whose MAC is known: a send needs no ARP

    // Entries that count against the limit: everything but what the kernel may drop. Another
    // namespace's entries are all counted, as their state cannot be seen from here.
    int inUse() const { return qMax(0, entries - collectableHere); }
};

// Questions to the neighbour table of the network namespace it was made in: Linux's rtnetlink
// (NeighbourTableLinux.cpp), Windows' IP Helper (NeighbourTableWindows.cpp). Windows tells no limit, so
// there `read` stays false and the scan paces by its rate alone.
class NeighbourTable {
public:
    NeighbourTable();
    ~NeighbourTable();
    NeighbourTable(const NeighbourTable &) = delete;
    NeighbourTable &operator=(const NeighbourTable &) = delete;

    NeighbourTableUse read();

    // Whether the neighbour's ARP is settled: true once its MAC is known, and also once the system has
    // given it up (nothing waits for it any more). For a gateway the scan waits on.
    bool settled(quint32 address, const QString &card);

private:
    struct System;
    std::unique_ptr<System> m_system;
};

// How one card resolves a neighbour (Linux: /proc/sys/net/ipv4/neigh/<card>/).
struct CardArp {
    bool arp = true;      // false: the card needs no ARP (loopback, point-to-point, tunnels)
    int solicits = 3;     // mcast_solicit + app_solicit: the ARP requests sent for one neighbour
    int retransMs = 1000; // retrans_time_ms: the time between them
};

CardArp ReadCardArp(const QString &card);

} // namespace vrx
