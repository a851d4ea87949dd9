#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace vrx {

// The value of one hexadecimal digit (0-9, A-F, a-f), or -1 for any other character.
int HexDigitValue(char16_t c);

// Reads the leading hexadecimal digits of a text: blanks, tabs and line feeds are skipped, the first
// other character ends the number, and a text without a leading digit reads 0. The value saturates at
// 0xFFFFFFFF instead of wrapping, so a long group is always "256 or more".
quint32 ReadHexNumber(QStringView text);

using MacBytes = std::array<quint8, 6>;

// Walks a trimmed MAC text ("00-14-C0-A8-00-65") group by group. Empty when it has fewer than five
// "-", more than five, or a group of 256 or more; a trailing "-" gives 0x00 for the sixth byte.
std::optional<MacBytes> ParseMacText(const QString &text);

// Six ByteToHex groups joined by "-": always 17 characters.
QString MacText(const MacBytes &bytes);

// "00-14" followed by the four address bytes: the MAC the automatic box derives from an address.
QString MacFromAddress(const std::array<quint8, 4> &address);

} // namespace vrx
