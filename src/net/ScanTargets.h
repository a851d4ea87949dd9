#pragma once

#include "link/LocalCards.h"
#include "net/TargetRoute.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vrx {

// One address of a scan and how it is reached.
struct ScanTarget {
    quint32 address = 0;
    int group = 0; // the socket that sends to it: ScanTargets::groups
    int card = 0;  // the card the query leaves by: ScanTargets::cards
    TargetRoute::Kind kind = TargetRoute::OnLink;
    quint32 gateway = 0; // ViaGateway
};

// The computer's address that a group of targets is queried from: one socket each.
struct ScanGroup {
    QString local;    // dotted address to bind
    QString cardName; // the card that holds it ("" when no card does: --local of another kind)
};

// A scan's targets sorted by the socket and card that reach them.
struct ScanTargets {
    QList<ScanGroup> groups;
    QStringList cards;               // the cards queries leave by
    std::vector<ScanTarget> targets; // in address order
    QList<quint32> unreachable;      // no card and no route reaches these
    QList<quint32> broadcasts;       // a card's own broadcast address: left out, a query there is a broadcast

    bool ok() const { return unreachable.isEmpty(); }
};

// Sorts the addresses by route: each one goes out from the address the kernel's route gives (one
// socket per such address: every card's own address for its own targets), or from `local` when given.
ScanTargets RouteScanTargets(const QList<quint32> &addresses, const QString &local,
                             const QList<LocalCard> &cards, const std::function<TargetRoute(quint32)> &route);

// The same with this computer's cards and the kernel's routes.
ScanTargets RouteScanTargets(const QList<quint32> &addresses, const QString &local);

} // namespace vrx
