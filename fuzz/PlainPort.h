#pragma once

// The plain re-reading of a port field that the reference models share.

#include "fields/AddressText.h"

#include <QString>

#include <algorithm>
#include <optional>

namespace vrx::fuzz {

// Blanks around it, then one or more ASCII digits with a value from 1 to 65535; nothing otherwise.
inline std::optional<quint16> ReadPortPlainly(const QString &text) {
    const QString trimmed = TrimBlanks(text);
    if (trimmed.isEmpty())
        return std::nullopt;
    long long value = 0;
    for (const QChar c : trimmed) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = std::min(value * 10 + (c.unicode() - u'0'), 100000LL);
    }
    if (value < 1 || value > 65535)
        return std::nullopt;
    return quint16(value);
}

} // namespace vrx::fuzz
