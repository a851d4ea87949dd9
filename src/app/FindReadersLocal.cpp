#include "app/FindReadersLocal.h"

#include "net/AddressRange.h"

#include <algorithm>

namespace vrx {

QString ScanLocalAddress(const QString &computerField, const QList<quint32> &targets,
                         const QList<LocalCard> &cards) {
    const std::optional<quint32> local = StrictAddress(computerField.trimmed());
    if (!local || targets.isEmpty())
        return QString();
    for (const LocalCard &card : cards) {
        // Every address of a loopback card's subnet is this computer's; elsewhere only the card's own.
        const bool holds = card.address == *local || (card.loopback && card.onSubnet(*local));
        if (holds && std::all_of(targets.begin(), targets.end(), [&](quint32 t) { return card.onSubnet(t); }))
            return AddressText(*local);
    }
    return QString();
}

} // namespace vrx
