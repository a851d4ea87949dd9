#include "fields/AutoMac.h"

#include "fields/AddressText.h"
#include "fields/HexText.h"

namespace vrx {

DerivedMac DeriveMacFromIp(const QString &addressText) {
    const AddressParse parse = ParseIpAddress(addressText);
    DerivedMac derived;
    derived.overflowed = parse.overflowed();
    if (parse.ok())
        derived.mac = MacFromAddress(parse.bytes);
    return derived;
}

} // namespace vrx
