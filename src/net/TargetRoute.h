#pragma once

#include "net/RtNetlink.h"

#include <QHash>
#include <QString>

namespace vrx {

// How this computer reaches one address, as the kernel's routing decides it.
struct TargetRoute {
    enum Kind {
        Unreachable, // no route
        Local,       // an address of this computer or loopback: nothing to resolve
        OnLink,      // on a card's own network: the target's MAC is asked for by ARP
        ViaGateway,  // behind a router: only the gateway's MAC is needed
    };
    Kind kind = Unreachable;
    quint32 source = 0;  // the address the kernel would send from (host order)
    quint32 gateway = 0; // ViaGateway: the router
    QString card;        // the card the datagram leaves by ("lo" for Local)
};

// Asks the kernel for routes, one target at a time, on one netlink socket.
class RouteLookup {
public:
    TargetRoute lookUp(quint32 target);

private:
    QString cardName(int index);

    RtNetlink m_netlink;
    QHash<int, QString> m_cardNames; // by interface index: each name is asked for once
};

} // namespace vrx
