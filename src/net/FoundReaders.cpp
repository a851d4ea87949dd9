#include "net/FoundReaders.h"

#include "net/AddressRange.h"

#include <QMap>

#include <algorithm>
#include <tuple>

namespace vrx {

bool ListedBefore(const FoundReader &a, const FoundReader &b) {
    const quint32 left = StrictAddress(a.address).value_or(0);
    const quint32 right = StrictAddress(b.address).value_or(0);
    return std::forward_as_tuple(left, a.card, a.settings.readerMac) <
           std::forward_as_tuple(right, b.card, b.settings.readerMac);
}

void SortFoundReaders(QList<FoundReader> &readers) {
    std::stable_sort(readers.begin(), readers.end(), ListedBefore);
}

void MarkSharedMacs(QList<FoundReader> &readers) {
    QMap<MacBytes, QStringList> addressesByMac;
    for (const FoundReader &reader : readers) {
        QStringList &addresses = addressesByMac[reader.settings.readerMac];
        if (!addresses.contains(reader.address))
            addresses.append(reader.address);
    }
    for (FoundReader &reader : readers) {
        QStringList others = addressesByMac.value(reader.settings.readerMac);
        others.removeAll(reader.address);
        reader.sameMacAt = others;
    }
}

} // namespace vrx
