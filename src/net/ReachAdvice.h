#pragma once

#include "config/ReaderSettings.h"
#include "link/LocalCards.h"

#include <QList>
#include <QString>

#include <optional>

namespace vrx {

// How to reach a reader that answered a broadcast from outside the subnet of the card it was heard
// on: it hears the computer, but the computer has no route to it. Giving the card a second address in
// the reader's subnet for the session makes it a neighbour; taking the address away undoes it.
struct ReachAdvice {
    QString card;        // "eth0"
    quint32 address = 0; // the address to give the card, host order
    int prefixLength = 24;

    QString addressText() const;
    // The system's commands (ReachAdviceLinux.cpp, ReachAdviceWindows.cpp). Linux:
    // "sudo ip addr add 192.168.0.110/24 dev eth0" and "sudo ip addr del 192.168.0.110/24 dev eth0".
    // Windows, from an administrator prompt:
    // "netsh interface ipv4 add address "Ethernet" 192.168.0.110 255.255.255.0" and its "delete".
    QString addCommand() const;
    QString removeCommand() const;
};

// The prefix length of a subnet mask; nothing when the mask's bits are not contiguous.
std::optional<int> PrefixLength(quint32 mask);

// The reader's subnet is its address with the mask it reports (a /24 when that mask is not one of
// 8 to 30 contiguous bits, as a mask left empty or garbled is not; also when the reader and its
// gateway leave no room in a tiny subnet). The address for the card is the
// server address the reader reports, when it lies in that subnet: the reader expects its server
// there, so the computer can be that server. Otherwise it is the highest host address of the subnet
// that is neither the reader's nor its gateway's.
ReachAdvice ReachAdviceFor(const QString &card, quint32 reader, const ReaderSettings &settings);

// Whether a reader that answered needs advice: none of this computer's cards holds it in its subnet.
// A reader on the subnet of another card than the one it was heard on is reached through that card.
bool NeedsReachAdvice(const QList<LocalCard> &computerCards, quint32 reader);

} // namespace vrx
