#pragma once

#include "config/ReaderSettings.h"

#include <QHostAddress>
#include <QString>

#include <optional>

namespace vrx {

// An IPv4 address on a network card, its prefix, and the default gateway that goes with it.
struct CardAddress {
    QHostAddress address;
    int prefixLength = 0;
    QHostAddress gateway; // null: no default route

    quint32 mask() const;
    bool contains(const QHostAddress &other) const; // other lies in this address's subnet
    // The gateway when it lies in the subnet (and is not the address itself); null otherwise.
    QHostAddress reachableGateway() const;
    // "198.18.16.10/20 via 198.18.16.1" ("..., no gateway" without a reachable one).
    QString toString() const;

    friend bool operator==(const CardAddress &, const CardAddress &) = default;
};

quint32 MaskOfPrefix(int prefixLength);
// The four bytes of an address in host order, the leftmost first.
AddressBytes BytesOf(quint32 value);
// The first host address of the subnet (network + 1), the gateway a card is given when it has no route.
QHostAddress FirstHostOf(const QHostAddress &address, int prefixLength);

// The card address that a reader's network settings ask for, or nullopt and why a card cannot take it.
std::optional<CardAddress> CardAddressOf(const ReaderSettings &settings, QString *reason);

// The reader's network settings taken from its card: address, mask and gateway.
void SetNetworkSettings(ReaderSettings &settings, const CardAddress &card);

} // namespace vrx
