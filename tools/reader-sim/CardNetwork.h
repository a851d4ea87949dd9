#pragma once

#include "CardAddress.h"

#include <QString>

#include <optional>

namespace vrx {

// The simulator's hold on a real network card, for a reader that is a device on it: over Linux's
// rtnetlink (CardNetworkLinux.cpp). Windows has no network namespace to keep the card apart from a real
// network, so there the simulator offers no --interface (CardNetworkWindows.cpp).

// Whether this system lets the simulator run a reader as a device on a card.
bool CanControlCards();

// True when this thread's network namespace is not the machine's initial one, so that renumbering a card
// here cannot touch a real network; otherwise false and why.
bool InOwnNetworkNamespace(QString *why);

// The card's first IPv4 address and prefix, and the gateway of the default route through it (null when
// there is none).
std::optional<CardAddress> ReadCardAddress(const QString &card, QString *error);

// What a device does when it restarts on new settings: the old address leaves the card, the new one
// comes, and the default route follows the new gateway when that lies in the new subnet (else there is
// none). Refused outside a network namespace of its own.
bool RenumberCard(const QString &card, const CardAddress &from, const CardAddress &to, QString *error);

} // namespace vrx
