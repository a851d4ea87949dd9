#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vrxctl {

// The most addresses one scan may hold: a /16.
constexpr qint64 MaxScanAddresses = 65536;

struct AddressList {
    QList<quint32> addresses; // sorted, no duplicates, host order (127.0.0.1 = 0x7F000001)
    QString error;            // set when a range is malformed or the total exceeds the limit
    bool ok() const { return error.isEmpty(); }
};

// Expands scan ranges: a single address ("127.0.0.7"), a CIDR block ("127.0.0.0/24", whose network
// and broadcast addresses are left out up to /30), or a first-last range ("127.0.0.10-127.0.0.20",
// or "127.0.0.10-20" with the last number only). Addresses go through ParseIpAddress like every other
// address field, but must have four explicit groups here: a scan range is no place for guessing.
AddressList ExpandRanges(const QStringList &ranges, qint64 limit = MaxScanAddresses);

QString AddressText(quint32 address);

} // namespace vrxctl
