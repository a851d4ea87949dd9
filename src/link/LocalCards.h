#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace vrx {

// One IPv4 address of one network card of this computer. A card with two addresses is two entries.
struct LocalCard {
    QString name;          // the card's name ("eth0", "enp3s0")
    quint32 address = 0;   // host order
    int prefixLength = 32; // the subnet: address / prefixLength
    quint32 broadcast = 0; // the subnet-directed broadcast address; 0 when the card has none
    bool loopback = false;

    quint32 netmask() const { return prefixLength == 0 ? 0 : ~quint32(0) << (32 - prefixLength); }
    // Whether target lies on this card's subnet, so that it is reached directly (with ARP).
    bool onSubnet(quint32 target) const { return (target & netmask()) == (address & netmask()); }
    QString addressText() const;
    QString subnetText() const; // "198.18.0.1/20"
};

// This computer's IPv4 addresses on cards that are up, in the system's order of cards.
QList<LocalCard> LocalCards();

// The card that holds this address, when one does.
std::optional<LocalCard> CardWithAddress(const QList<LocalCard> &cards, quint32 address);
// The first card (loopback last) whose subnet holds the target.
std::optional<LocalCard> CardOnSubnet(const QList<LocalCard> &cards, quint32 target);

// "eth0 198.18.0.1/20, eth1 198.18.16.1/24, lo 127.0.0.1/8": the cards and addresses, for messages;
// loopback comes last, since the operator looks for a real card first.
QString CardListText(const QList<LocalCard> &cards, const QString &separator = QStringLiteral(", "));

// The local address the system would send from to reach the reader (port 1001), found by connecting
// an unbound UDP socket and reading its local address: connecting a UDP socket sends nothing.
// Empty when there is no route.
QString RouteLocalAddress(const QString &reader);

} // namespace vrx
