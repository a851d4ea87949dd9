#include "net/DiscoveryCards.h"

#include "net/AddressRange.h"

namespace vrx {

bool CanBroadcast(const LocalCard &card) {
    return !card.loopback && card.broadcast != 0 && card.broadcast != card.address;
}

QList<quint32> BroadcastTargets(const LocalCard &card) {
    if (!CanBroadcast(card))
        return {};
    if (card.broadcast == LimitedBroadcast)
        return {LimitedBroadcast};
    return {card.broadcast, LimitedBroadcast};
}

QString BroadcastTargetsText(const LocalCard &card, QStringView afterCard, QStringView between) {
    QStringList targets;
    for (quint32 target : BroadcastTargets(card))
        targets.append(AddressText(target));
    return QStringLiteral("%1 %2%3%4").arg(card.name, card.subnetText(), afterCard, targets.join(between));
}

CardChoice ChooseDiscoveryCards(const QList<LocalCard> &cards, const QString &interfaceName,
                                const QString &local) {
    CardChoice choice;
    if (!interfaceName.isEmpty() && !local.isEmpty()) {
        choice.problem = CardChoiceProblem::BothGiven;
        return choice;
    }
    const std::optional<quint32> localAddress = local.isEmpty() ? std::nullopt : StrictAddress(local);
    bool named = false;
    for (const LocalCard &card : cards) {
        if (!interfaceName.isEmpty() && card.name != interfaceName)
            continue;
        if (!local.isEmpty() && (!localAddress || card.address != *localAddress))
            continue;
        named = true;
        if (CanBroadcast(card))
            choice.cards.append(card);
    }
    if (choice.cards.isEmpty()) {
        if (!interfaceName.isEmpty())
            choice.problem =
                named ? CardChoiceProblem::InterfaceWithoutBroadcast : CardChoiceProblem::NoSuchInterface;
        else if (!local.isEmpty())
            choice.problem =
                named ? CardChoiceProblem::LocalWithoutBroadcast : CardChoiceProblem::NotLocalAddress;
        else
            choice.problem = CardChoiceProblem::NoBroadcastCard;
    }
    return choice;
}

} // namespace vrx
