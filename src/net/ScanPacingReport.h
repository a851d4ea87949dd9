#pragma once

#include <QtGlobal>

namespace vrx {

// What a scan's pacing was derived from and what it met, for the trace.
struct ScanPacingReport {
    bool arp = false;        // some queries needed ARP: what follows applies
    bool tableRead = false;  // the neighbour table's limit and count came from the kernel
    int tableLimit = 0;      // gc_thresh3
    int tableInUse = 0;      // entries that counted against it when the scan began
    int window = 0;          // queries with an unresolved neighbour at once
    qint64 lifetimeMs = 0;   // how long an unanswered ARP holds its entry, nominally
    qint64 latenessMs = 0;   // how much later the kernel turned out to free entries
    qint64 onLinkWaitMs = 0; // the wait of a query that needs ARP, from its send
    int sendBufferBytes = 0; // the largest socket send buffer granted
    int bytesPerQuery = 0;   // what one query waiting for ARP costs that buffer, measured
    int tableRefusals = 0;   // sends the kernel dropped for want of a table entry (sent again)
    int bufferWaits = 0;     // sends that found the send buffer full (sent again when it had room)
    int interruptions = 0;   // sends that met an error an ICMP message left (sent again)
};

} // namespace vrx
