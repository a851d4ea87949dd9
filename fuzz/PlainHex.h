#pragma once

// The plain re-reading of hexadecimal text that the reference models share.

#include <QStringView>

namespace vrx::fuzz {

// Hands each leading hexadecimal digit's value to take, skipping blanks, tabs and line feeds, and stops
// at the first other character.
template <typename Take>
void ForEachLeadingHexDigit(QStringView text, Take take) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n')
            continue;
        int digit = -1;
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        if (digit < 0)
            return;
        take(digit);
    }
}

} // namespace vrx::fuzz
