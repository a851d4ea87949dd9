#include "net/ScanTargets.h"

#include "net/AddressRange.h"

#include <QHash>

namespace vrx {

namespace {

bool IsCardBroadcast(const QList<LocalCard> &cards, const QString &cardName, quint32 address) {
    for (const LocalCard &card : cards)
        if (card.name == cardName && card.broadcast == address && card.prefixLength < 31)
            return true;
    return false;
}

// A target on a card's own network is reached on that card, and one of this computer's addresses on
// loopback, without asking the kernel: a /16 is 65,534 questions otherwise.
std::optional<TargetRoute> CardRoute(const QList<LocalCard> &cards, quint32 address) {
    if (const auto own = CardWithAddress(cards, address))
        return TargetRoute{TargetRoute::Local, address, 0, QStringLiteral("lo")};
    const auto card = CardOnSubnet(cards, address);
    if (!card)
        return std::nullopt;
    return TargetRoute{card->loopback ? TargetRoute::Local : TargetRoute::OnLink, card->address, 0,
                       card->name};
}

int IndexOf(QStringList &list, const QString &value) {
    qsizetype index = list.indexOf(value);
    if (index < 0) {
        index = list.size();
        list.append(value);
    }
    return int(index);
}

} // namespace

ScanTargets RouteScanTargets(const QList<quint32> &addresses, const QString &local,
                             const QList<LocalCard> &cards,
                             const std::function<TargetRoute(quint32)> &route) {
    ScanTargets result;
    result.targets.reserve(size_t(addresses.size()));
    QHash<QString, int> groupOf;
    for (quint32 address : addresses) {
        const auto onCard = CardRoute(cards, address);
        const TargetRoute way = onCard ? *onCard : route(address);
        if (way.kind == TargetRoute::Unreachable) {
            result.unreachable.append(address);
            continue;
        }
        if (way.kind == TargetRoute::OnLink && IsCardBroadcast(cards, way.card, address)) {
            result.broadcasts.append(address);
            continue;
        }
        const QString from = local.isEmpty() ? AddressText(way.source) : local;
        auto group = groupOf.constFind(from);
        if (group == groupOf.constEnd()) {
            const auto bound = StrictAddress(from);
            const auto holder = bound ? CardWithAddress(cards, *bound) : std::nullopt;
            group = groupOf.insert(from, int(result.groups.size()));
            result.groups.append({from, holder ? holder->name : QString()});
        }
        result.targets.push_back({address, *group, IndexOf(result.cards, way.card), way.kind, way.gateway});
    }
    return result;
}

ScanTargets RouteScanTargets(const QList<quint32> &addresses, const QString &local) {
    RouteLookup routes;
    return RouteScanTargets(addresses, local, LocalCards(),
                            [&](quint32 address) { return routes.lookUp(address); });
}

} // namespace vrx
