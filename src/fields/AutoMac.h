#pragma once

#include <QString>

#include <optional>

namespace vrx {

// What the automatic MAC rule derives from an address field.
struct DerivedMac {
    std::optional<QString> mac; // "00-14-C0-A8-00-65"; empty when the address does not parse
    bool overflowed = false;    // a group above 32767: the window shows OverflowDescription() first
};

// Trims the address text, parses it and builds "00-14" plus the four address bytes in hexadecimal.
DerivedMac DeriveMacFromIp(const QString &addressText);

} // namespace vrx
