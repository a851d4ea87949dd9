#include "net/AddressRange.h"

#include "fields/AddressText.h"

#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace vrx {

std::optional<quint32> StrictAddress(const QString &text) {
    // Anchored at both ends: "$" alone would let a final line feed through.
    static const QRegularExpression dotted(QRegularExpression::anchoredPattern(
        QStringLiteral("([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})\\.([0-9]{1,3})")));
    const QRegularExpressionMatch match = dotted.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    quint32 address = 0;
    for (int group = 1; group <= 4; ++group) {
        const uint number = match.capturedView(group).toUInt();
        if (number > 255)
            return std::nullopt;
        address = (address << 8) | number;
    }
    return address;
}

namespace {

struct Span {
    quint32 first = 0;
    quint32 last = 0;
    qint64 size() const { return qint64(last) - qint64(first) + 1; }
};

std::optional<Span> ParseRange(const QString &range, RangeProblem *problem) {
    const int slash = range.indexOf(u'/');
    if (slash >= 0) {
        const auto base = StrictAddress(range.left(slash).trimmed());
        bool numeric = false;
        const int prefix = range.mid(slash + 1).trimmed().toInt(&numeric);
        if (!base || !numeric || prefix < 0 || prefix > 32) {
            *problem = RangeProblem::BadCidr;
            return std::nullopt;
        }
        const quint32 mask = prefix == 0 ? 0 : ~quint32(0) << (32 - prefix);
        Span span{*base & mask, (*base & mask) | ~mask};
        if (prefix <= 30) { // leave out the network and broadcast addresses
            ++span.first;
            --span.last;
        }
        return span;
    }
    const int dash = range.indexOf(u'-');
    if (dash >= 0) {
        const auto first = StrictAddress(range.left(dash).trimmed());
        const QString lastText = range.mid(dash + 1).trimmed();
        std::optional<quint32> last;
        static const QRegularExpression lastNumber(QStringLiteral("^[0-9]{1,3}$"));
        if (first && lastNumber.match(lastText).hasMatch()) {
            const uint n = lastText.toUInt();
            if (n <= 255)
                last = (*first & 0xFFFFFF00u) | n;
        } else {
            last = StrictAddress(lastText);
        }
        if (!first || !last) {
            *problem = RangeProblem::BadSpan;
            return std::nullopt;
        }
        if (*last < *first) {
            *problem = RangeProblem::Backwards;
            return std::nullopt;
        }
        return Span{*first, *last};
    }
    const auto single = StrictAddress(range.trimmed());
    if (!single) {
        *problem = RangeProblem::NotAnAddress;
        return std::nullopt;
    }
    return Span{*single, *single};
}

} // namespace

AddressList ExpandRanges(const QStringList &ranges, qint64 limit) {
    AddressList result;
    if (ranges.isEmpty()) {
        result.problem = RangeProblem::NoRanges;
        return result;
    }
    QList<Span> spans;
    qint64 total = 0;
    for (const QString &range : ranges) {
        const auto span = ParseRange(range, &result.problem);
        if (!span) {
            result.range = range;
            return result;
        }
        total += span->size();
        if (total > limit) {
            result.problem = RangeProblem::TooMany;
            result.range = range;
            result.total = total;
            result.limit = limit;
            return result;
        }
        spans.append(*span);
    }
    result.addresses.reserve(total);
    for (const Span &span : spans)
        for (qint64 a = span.first; a <= span.last; ++a)
            result.addresses.append(quint32(a));
    std::sort(result.addresses.begin(), result.addresses.end());
    result.addresses.erase(std::unique(result.addresses.begin(), result.addresses.end()),
                           result.addresses.end());
    return result;
}

QString AddressText(quint32 address) {
    return DottedText({quint8(address >> 24), quint8(address >> 16), quint8(address >> 8), quint8(address)});
}

} // namespace vrx
