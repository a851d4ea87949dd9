#include "net/ReachAdvice.h"

#include "net/AddressRange.h"

#include <bit>

namespace vrx {

namespace {

quint32 Value(const AddressBytes &bytes) {
    return (quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) | (quint32(bytes[2]) << 8) |
           quint32(bytes[3]);
}

quint32 MaskOf(int prefixLength) {
    return prefixLength == 0 ? 0 : ~quint32(0) << (32 - prefixLength);
}

} // namespace

QString ReachAdvice::addressText() const {
    return AddressText(address);
}

std::optional<int> PrefixLength(quint32 mask) {
    const int length = std::countl_one(mask);
    if (MaskOf(length) != mask)
        return std::nullopt;
    return length;
}

namespace {

// The address for the card in the subnet address/prefixLength, or 0 when every host address is taken.
quint32 CardAddressIn(quint32 reader, int prefixLength, const ReaderSettings &settings) {
    const quint32 mask = MaskOf(prefixLength);
    const quint32 network = reader & mask;
    const quint32 broadcast = network | ~mask;
    const quint32 gateway = Value(settings.defaultGateway);
    const auto usable = [&](quint32 address) {
        return (address & mask) == network && address != network && address != broadcast &&
               address != reader && address != gateway;
    };
    if (const quint32 server = Value(settings.serverIp); usable(server))
        return server;
    for (quint32 address = broadcast - 1; address > network; --address)
        if (usable(address))
            return address;
    return 0;
}

} // namespace

ReachAdvice ReachAdviceFor(const QString &card, quint32 reader, const ReaderSettings &settings) {
    ReachAdvice advice;
    advice.card = card;
    const std::optional<int> reported = PrefixLength(Value(settings.subnetMask));
    advice.prefixLength = reported && *reported >= 8 && *reported <= 30 ? *reported : 24;
    advice.address = CardAddressIn(reader, advice.prefixLength, settings);
    if (advice.address == 0) {
        // A /30 or /29 held by the reader and its gateway alone: a /24 around it has room.
        advice.prefixLength = 24;
        advice.address = CardAddressIn(reader, advice.prefixLength, settings);
    }
    return advice;
}

bool NeedsReachAdvice(const QList<LocalCard> &computerCards, quint32 reader) {
    for (const LocalCard &card : computerCards)
        if (!card.loopback && card.onSubnet(reader))
            return false;
    return true;
}

} // namespace vrx
