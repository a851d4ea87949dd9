#include "net/FoundReaders.h"

#include "net/AddressRange.h"

#include <QMap>

#include <algorithm>
#include <tuple>

namespace vrx {

void SortFoundReaders(QList<FoundReader> &readers) {
    const auto key = [](const FoundReader &reader) {
        return std::tuple(StrictAddress(reader.address).value_or(0), reader.card, reader.settings.readerMac);
    };
    std::stable_sort(readers.begin(), readers.end(),
                     [&](const FoundReader &a, const FoundReader &b) { return key(a) < key(b); });
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
