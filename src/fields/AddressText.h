#pragma once

#include <QString>

#include <array>

namespace vrx {

// Four address bytes, element 0 being the leftmost number of the dotted text.
using AddressBytes = std::array<quint8, 4>;

enum class AddressParseStatus {
    Valid,    // the text is an address; all four bytes are set
    Invalid,  // a group above 255 or a character that is neither digit, blank nor "."
    Overflow, // a group above 32767: the window shows OverflowDescription() before treating it as Invalid
};

struct AddressParse {
    AddressParseStatus status = AddressParseStatus::Invalid;
    AddressBytes bytes{}; // on failure: the groups stored before the failing one, the rest 0
    bool ok() const { return status == AddressParseStatus::Valid; }
    bool overflowed() const { return status == AddressParseStatus::Overflow; }
};

// Lenient dotted-decimal parser shared by every address field: blanks inside a group are skipped,
// missing and empty groups read 0, and nothing after the fourth "." is read.
AddressParse ParseIpAddress(const QString &text);

// One byte as two upper-case hexadecimal digits ("0A", "FF").
QString ByteToHex(quint8 value);

// True when the trimmed text holds only the ASCII digits 0-9 (an empty text too).
bool IsAllDigits(const QString &text);

// Canonical dotted text: each byte in decimal without leading zeros.
QString DottedText(const AddressBytes &bytes);

// Text of the numeric overflow failure that ParseIpAddress reports for a group above 32767.
QString OverflowDescription();

// Trims leading and trailing U+0020 blanks only (QString::trimmed also strips tabs and line feeds).
QString TrimBlanks(const QString &text);

} // namespace vrx
