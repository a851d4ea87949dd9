#include "net/NeighbourTable.h"

#include <QNetworkInterface>

// Winsock first: the IP Helper headers build on it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>
#include <netioapi.h>

namespace vrx {

namespace {

// Calls each(address, state) for every IPv4 neighbour entry; false when the table cannot be read.
template <typename Each>
bool ForEachNeighbour(Each each) {
    MIB_IPNET_TABLE2 *table = nullptr;
    if (::GetIpNetTable2(AF_INET, &table) != NO_ERROR)
        return false;
    for (ULONG at = 0; at < table->NumEntries; ++at) {
        const MIB_IPNET_ROW2 &row = table->Table[at];
        each(ntohl(row.Address.Ipv4.sin_addr.s_addr), row.State);
    }
    ::FreeMibTable(table);
    return true;
}

bool Known(NL_NEIGHBOR_STATE state) {
    return state == NlnsReachable || state == NlnsStale || state == NlnsDelay || state == NlnsProbe ||
           state == NlnsPermanent;
}

} // namespace

struct NeighbourTable::System {};

NeighbourTable::NeighbourTable() = default;

NeighbourTable::~NeighbourTable() = default;

// Windows tells no limit on its neighbour cache: `read` stays false and the scan paces by its rate. What
// it knows is still used, so that a neighbour whose MAC is known is not waited for.
NeighbourTableUse NeighbourTable::read() {
    NeighbourTableUse use;
    ForEachNeighbour([&](quint32 address, NL_NEIGHBOR_STATE state) {
        ++use.entries;
        if (state == NlnsIncomplete)
            ++use.unresolvedHere;
        else if (state == NlnsUnreachable)
            ++use.collectableHere;
        if (Known(state))
            use.knownHere.insert(address);
    });
    return use;
}

bool NeighbourTable::settled(quint32 address, const QString &) {
    bool settled = true; // no entry at all: nothing waits for it
    ForEachNeighbour([&](quint32 entry, NL_NEIGHBOR_STATE state) {
        if (entry == address && state == NlnsIncomplete)
            settled = false;
    });
    return settled;
}

CardArp ReadCardArp(const QString &card) {
    CardArp arp;
    const QNetworkInterface found = QNetworkInterface::interfaceFromName(card);
    const QNetworkInterface::InterfaceFlags flags = found.flags();
    arp.arp = found.isValid() && !flags.testFlag(QNetworkInterface::IsLoopBack) &&
              !flags.testFlag(QNetworkInterface::IsPointToPoint);
    // Windows sends three requests for a neighbour, a second apart (its defaults; the per-card
    // RetransmitTime of GetIpInterfaceEntry is left unread, as wine lacks the call).
    return arp;
}

} // namespace vrx
