#include "net/TargetRoute.h"

#include "link/LocalCards.h"

#include <QNetworkInterface>

// Winsock first: the IP Helper headers build on it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>
#include <netioapi.h>

namespace vrx {

// The cards are read once: a scan asks for thousands of targets.
struct RouteLookup::System {
    QList<LocalCard> cards = LocalCards();

    QString cardNameOf(quint32 address) const {
        const std::optional<LocalCard> card = CardWithAddress(cards, address);
        return card ? card->name : QString();
    }
    QString loopbackName() const {
        for (const LocalCard &card : cards)
            if (card.loopback)
                return card.name;
        return QStringLiteral("loopback");
    }
};

RouteLookup::RouteLookup()
    : m_system(std::make_unique<System>()) {}

RouteLookup::~RouteLookup() = default;

namespace {

bool IsLoopback(quint32 address) {
    return (address >> 24) == 127;
}

// GetBestRoute2 with the source address the system would choose. Not every system has it (wine answers
// ERROR_NOT_SUPPORTED).
bool BestRoute2(quint32 target, quint32 *source, quint32 *nextHop) {
    SOCKADDR_INET destination{};
    destination.Ipv4.sin_family = AF_INET;
    destination.Ipv4.sin_addr.s_addr = htonl(target);
    MIB_IPFORWARD_ROW2 row{};
    SOCKADDR_INET chosen{};
    if (::GetBestRoute2(nullptr, 0, nullptr, &destination, 0, &row, &chosen) != NO_ERROR)
        return false;
    *source = ntohl(chosen.Ipv4.sin_addr.s_addr);
    *nextHop = ntohl(row.NextHop.Ipv4.sin_addr.s_addr);
    return true;
}

// The older GetBestRoute: the next hop and the card, whose first address is the source.
bool BestRoute(quint32 target, quint32 *source, quint32 *nextHop) {
    MIB_IPFORWARDROW row{};
    if (::GetBestRoute(htonl(target), 0, &row) != NO_ERROR)
        return false;
    const QNetworkInterface card = QNetworkInterface::interfaceFromIndex(int(row.dwForwardIfIndex));
    for (const QNetworkAddressEntry &entry : card.addressEntries()) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) {
            *source = entry.ip().toIPv4Address();
            *nextHop = ntohl(row.dwForwardNextHop);
            return true;
        }
    }
    return false;
}

} // namespace

TargetRoute RouteLookup::lookUp(quint32 target) {
    TargetRoute route;
    if (IsLoopback(target) || CardWithAddress(m_system->cards, target)) {
        route.kind = TargetRoute::Local;
        route.source = IsLoopback(target) ? 0x7f000001 : target;
        route.card = IsLoopback(target) ? m_system->loopbackName() : m_system->cardNameOf(target);
        return route;
    }
    quint32 source = 0;
    quint32 nextHop = 0;
    if (BestRoute2(target, &source, &nextHop) || BestRoute(target, &source, &nextHop)) {
        // A next hop of the target itself, or none, is a neighbour on the card's own network.
        route.kind = nextHop == 0 || nextHop == target ? TargetRoute::OnLink : TargetRoute::ViaGateway;
        route.gateway = route.kind == TargetRoute::ViaGateway ? nextHop : 0;
        route.source = source;
        route.card = m_system->cardNameOf(source);
        return route;
    }
    // Without either, a target on a card's subnet is still reached through that card.
    if (const std::optional<LocalCard> card = CardOnSubnet(m_system->cards, target)) {
        route.kind = TargetRoute::OnLink;
        route.source = card->address;
        route.card = card->name;
        return route;
    }
    return {};
}

} // namespace vrx
