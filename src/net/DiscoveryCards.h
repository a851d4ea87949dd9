#pragma once

#include "link/LocalCards.h"

#include <QList>
#include <QString>

namespace vrx {

// The limited broadcast: every host on the card's own wire hears it, whatever subnet it is set to.
constexpr quint32 LimitedBroadcast = 0xFFFFFFFF;

// Whether a discovery can broadcast on this card: an IPv4 card other than loopback with a
// subnet-directed broadcast address of its own (a point-to-point link or a /32 has none).
bool CanBroadcast(const LocalCard &card);

// Where the query goes from this card: its subnet-directed broadcast, which routers may pass on to a
// subnet they serve, and the limited broadcast, which also reaches a reader set to another subnet on
// the same wire (a new reader at its factory address). Sent from the card's address, the limited
// broadcast leaves by that card: Linux routes it by the source address when no card is named.
QList<quint32> BroadcastTargets(const LocalCard &card);

// "eth0 198.18.0.1/20: 198.18.15.255, 255.255.255.255": a card and where a discovery sent from it,
// punctuated by default for the command line.
QString BroadcastTargetsText(const LocalCard &card, QStringView afterCard = u": ",
                             QStringView between = u", ");

enum class CardChoiceProblem {
    None,
    NoBroadcastCard,           // no card of this computer can broadcast
    NoSuchInterface,           // no card is called `interfaceName`
    InterfaceWithoutBroadcast, // the card `interfaceName` has no address that can broadcast
    NotLocalAddress,           // `local` is not an address of this computer
    LocalWithoutBroadcast,     // the card holding `local` cannot broadcast (loopback, a /32)
    BothGiven,                 // a card's name and an address were both given
};

struct CardChoice {
    QList<LocalCard> cards; // the addresses to broadcast from, in the computer's order of cards
    CardChoiceProblem problem = CardChoiceProblem::None;
    bool ok() const { return problem == CardChoiceProblem::None; }
};

// The cards a discovery broadcasts on: every card that can (both names empty), only the addresses of
// the card called interfaceName, or only the card address `local` (dotted text).
CardChoice ChooseDiscoveryCards(const QList<LocalCard> &cards, const QString &interfaceName,
                                const QString &local);

} // namespace vrx
