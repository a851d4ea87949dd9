#include "app/FoundColumnOrder.h"

#include "net/AddressRange.h"

#include <compare>

namespace vrx {

namespace {

int Sign(std::strong_ordering order) {
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

template <typename Value>
int Compare(const Value &a, const Value &b) {
    return Sign(a <=> b);
}

// An address text that is not a dotted address sorts after every address, by its text.
int CompareAddressTexts(const QString &a, const QString &b) {
    const auto left = StrictAddress(a);
    const auto right = StrictAddress(b);
    if (left && right)
        return Compare(*left, *right);
    if (left || right)
        return left ? -1 : 1;
    return a.compare(b);
}

} // namespace

int CompareByColumn(const FoundReader &a, const FoundReader &b, FoundColumn column) {
    const ReaderSettings &x = a.settings;
    const ReaderSettings &y = b.settings;
    switch (column) {
    case ReaderIpColumn:
        return CompareAddressTexts(a.address, b.address);
    case MacColumn:
        return Compare(x.readerMac, y.readerMac);
    case SubnetMaskColumn:
        return Compare(x.subnetMask, y.subnetMask);
    case GatewayColumn:
        return Compare(x.defaultGateway, y.defaultGateway);
    case ReaderPortColumn:
        return Compare(x.readerPort, y.readerPort);
    case ServerIpColumn:
        return Compare(x.serverIp, y.serverIp);
    case ServerPortColumn:
        return Compare(x.serverPort, y.serverPort);
    case ProtocolColumn:
        return Compare(x.readerProtocol, y.readerProtocol);
    case HeartbeatColumn:
        return Compare(x.heartbeat, y.heartbeat);
    case BeepColumn:
        return Compare(x.beepOnRead, y.beepOnRead);
    case KeySourceColumn:
        return Compare(x.keySource, y.keySource);
    case CardColumn:
        if (const int byName = a.card.compare(b.card))
            return byName;
        return CompareAddressTexts(a.cardAddress, b.cardAddress);
    case ResultColumn:
    case FoundColumnCount:
        break;
    }
    return 0;
}

} // namespace vrx
