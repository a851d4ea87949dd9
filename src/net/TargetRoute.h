#pragma once

#include <QString>

#include <memory>

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

// Asks the system for routes, one target at a time: Linux's rtnetlink (TargetRouteLinux.cpp), Windows'
// IP Helper (TargetRouteWindows.cpp).
class RouteLookup {
public:
    RouteLookup();
    ~RouteLookup();
    RouteLookup(const RouteLookup &) = delete;
    RouteLookup &operator=(const RouteLookup &) = delete;

    TargetRoute lookUp(quint32 target);

private:
    struct System; // what the system's lookup keeps between questions
    std::unique_ptr<System> m_system;
};

} // namespace vrx
