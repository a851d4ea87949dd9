#pragma once

#include "net/NeighbourTable.h"

#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>
#include <vector>

namespace vrx {

// The pacing of a scan: how fast queries may go out, derived from what the kernel admits.
//
// A query to an address on a card's own network first needs the kernel to learn the address's MAC by
// ARP. Until it does, or gives up, the query waits in the kernel, holding an entry of the neighbour
// table (which admits `limit` entries for the whole machine) and its bytes of the socket's send buffer.
// An address where nobody answers holds its entry for the whole ARP: `solicits` requests `retransMs`
// apart, given up one interval after the last. So the table admits at most
//     (limit - entries in use) new neighbours per lifetime,
// about 1024 per 3 s (341 per second) with the kernel's defaults; measured here: 1022 at once, the next
// admitted 3.06 s later (the kernel's timers run a little late), i.e. 334 per second. A scan that sends
// faster loses queries: the kernel drops a datagram it has no entry for. The scan therefore keeps at
// most `window` such queries unresolved, each counted for its entry's lifetime, and a send that the
// kernel still refuses (the table is shared with other programs and namespaces) is sent again a moment
// later, the entry lifetime it reveals being learnt.
//
// Queries that need no ARP (loopback, this computer's own addresses, a known MAC, targets behind a
// gateway whose MAC is known) go out as fast as the rate allows, in bursts, so that replies are taken
// between bursts.

constexpr int BurstSize = 32;       // queries sent back to back
constexpr int BurstPauseMs = 1;     // between bursts: the replies that came meanwhile are taken
constexpr int TableFullRetryMs = 4; // after a send the neighbour table refused

// The most queries with an unresolved neighbour at once: the table's free room less a sixteenth of its
// limit, left for the rest of the machine. Never less than one.
int NeighbourWindow(int limit, int inUse);

// How long an unanswered ARP keeps its neighbour entry, nominally.
qint64 UnresolvedLifetimeMs(const CardArp &arp);

// How long a query to an address on a card's own network may wait for its reply, counted from its
// send: the kernel's last ARP request goes out (solicits - 1) retransmission intervals later, and after
// it the ARP answer and the reader's reply get the ordinary wait. The kernel's timers run late: by the
// share of latenessMs (learnt over a whole entry lifetime) that falls before the last request, but at
// least a thirty-second of each interval (measured here: 25 ms a second).
qint64 OnLinkWaitMs(const CardArp &arp, int timeoutMs, qint64 latenessMs = 0);

// Decides when each query may go out. Pure: the time is handed in, so that it is the same whether it
// paces a real scan or foretells one.
class SendPacer {
public:
    // window: as NeighbourWindow; ratePerSecond: the most queries per second, 0 for no cap.
    SendPacer(int window, int ratePerSecond);

    // The earliest time, not before now, at which a query may go out; `resolving` when it makes the
    // kernel resolve a new neighbour.
    qint64 earliest(bool resolving, qint64 now);
    void sent(bool resolving, qint64 now, qint64 lifetimeMs);
    // The kernel refused a resolving query for want of room in its table: no resolving query goes out
    // for a moment, and the entries' lifetimes are taken to be a little longer (up to a sixteenth).
    void tableFull(qint64 now, qint64 lifetimeMs);
    // An answered resolving query: its entry is now in use (the kernel keeps a known MAC for
    // tens of seconds), so its room is not given back during the scan.
    void keepEntry() { ++m_kept; }
    // The table's room as read again during the scan (others' entries come and go): the window follows.
    void setTableWindow(int window) { m_tableWindow = std::max(1, window); }
    // The send buffer measured too small for the window: it holds only this many unresolved queries.
    void limitWindow(int most) { m_bufferLimit = std::max(1, std::min(m_bufferLimit, most)); }

    int window() const { return std::min(m_tableWindow, m_bufferLimit); }
    int unresolved() const { return int(m_entries.size()) + m_kept; }
    qint64 lateness() const { return m_lateness; }

private:
    void dropExpired(qint64 now);

    int m_tableWindow;
    int m_bufferLimit = std::numeric_limits<int>::max();
    double m_msPerQuery; // 0: no rate cap
    double m_rateNext = 0;
    qint64 m_burstStart = -1;
    int m_inBurst = 0;
    std::priority_queue<qint64, std::vector<qint64>, std::greater<>> m_entries; // expiry of each
    int m_kept = 0;
    qint64 m_lateness = 0;
    qint64 m_refusedUntil = 0;
};

// A foretold scan: when its last query goes out and when its last wait ends, counted from `now`.
struct ScanForecast {
    qint64 lastSendMs = 0;
    qint64 endMs = 0;
};

// Foretells the rest of a scan with the pacer as it is: `resolving` queries that each hold an entry
// for lifetimeMs and wait resolvingWaitMs, and `other` queries that wait otherWaitMs. Resolving queries
// go first whenever they may, as the scan sends them.
ScanForecast Forecast(SendPacer pacer, qint64 now, qint64 resolving, qint64 other, qint64 lifetimeMs,
                      qint64 resolvingWaitMs, qint64 otherWaitMs);

} // namespace vrx
