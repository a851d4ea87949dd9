#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vrx {

// The most addresses one scan may hold: a /16.
constexpr qint64 MaxScanAddresses = 65536;

// What is wrong with scan ranges; each program words it in its own language.
enum class RangeProblem {
    None,
    NoRanges,     // nothing given
    BadCidr,      // `range` has a "/" but is not a block such as 10.0.0.0/24
    BadSpan,      // `range` has a "-" but is not a first-last range
    Backwards,    // `range` ends before it begins
    NotAnAddress, // `range` is neither an address, a block nor a range
    TooMany,      // the ranges hold `total` addresses or more, above `limit`
};

struct AddressList {
    QList<quint32> addresses; // sorted, no duplicates, host order (127.0.0.1 = 0x7F000001)
    RangeProblem problem = RangeProblem::None;
    QString range;    // the range text at fault
    qint64 total = 0; // TooMany: the count reached when the limit was passed
    qint64 limit = 0; // TooMany: the limit
    bool ok() const { return problem == RangeProblem::None; }
};

// Expands scan ranges: a single address ("127.0.0.7"), a CIDR block ("127.0.0.0/24", whose network
// and broadcast addresses are left out up to /30), or a first-last range ("127.0.0.10-127.0.0.20",
// or "127.0.0.10-20" with the last number only). Addresses are StrictAddress's: a scan range is no place
// for guessing.
// The size is checked before anything is expanded, so 0.0.0.0/0 costs nothing.
AddressList ExpandRanges(const QStringList &ranges, qint64 limit = MaxScanAddresses);

// Dotted text of an address in host order.
QString AddressText(quint32 address);
// An address in host order when the text is exactly four decimal numbers 0-255 joined by three dots,
// with nothing before, between or after them; nothing for any other text. The one grammar of every
// address vrxctl takes (the window's fields keep their lenient ParseIpAddress).
std::optional<quint32> StrictAddress(const QString &text);

} // namespace vrx
