#include "CardAddress.h"

#include "net/ReachAdvice.h"

namespace vrx {

namespace {

quint32 ValueOf(const AddressBytes &bytes) {
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

} // namespace

AddressBytes BytesOf(quint32 value) {
    return {quint8(value >> 24), quint8(value >> 16), quint8(value >> 8), quint8(value)};
}

quint32 MaskOfPrefix(int prefixLength) {
    return prefixLength <= 0 ? 0 : ~quint32(0) << (32 - qMin(prefixLength, 32));
}

QHostAddress FirstHostOf(const QHostAddress &address, int prefixLength) {
    return QHostAddress((address.toIPv4Address() & MaskOfPrefix(prefixLength)) + 1);
}

quint32 CardAddress::mask() const {
    return MaskOfPrefix(prefixLength);
}

bool CardAddress::contains(const QHostAddress &other) const {
    return other.protocol() == QAbstractSocket::IPv4Protocol &&
           ((other.toIPv4Address() ^ address.toIPv4Address()) & mask()) == 0;
}

QHostAddress CardAddress::reachableGateway() const {
    return contains(gateway) && gateway != address && gateway.toIPv4Address() != 0 ? gateway : QHostAddress();
}

QString CardAddress::toString() const {
    const QHostAddress via = reachableGateway();
    return QStringLiteral("%1/%2%3")
        .arg(address.toString())
        .arg(prefixLength)
        .arg(via.isNull() ? QStringLiteral(", no gateway") : QStringLiteral(" via ") + via.toString());
}

std::optional<CardAddress> CardAddressOf(const ReaderSettings &settings, QString *reason) {
    const quint32 address = ValueOf(settings.readerIp);
    const int prefixLength = PrefixLength(ValueOf(settings.subnetMask)).value_or(-1);
    const quint8 first = settings.readerIp[0];
    QString problem;
    if (prefixLength < 1)
        problem = QStringLiteral("the subnet mask %1 is not a run of ones followed by zeros")
                      .arg(DottedText(settings.subnetMask));
    else if (first == 0 || first == 127 || first >= 224)
        problem = QStringLiteral("%1 cannot be a card's address").arg(DottedText(settings.readerIp));
    else if (prefixLength < 31 && ((address & ~MaskOfPrefix(prefixLength)) == 0 ||
                                   (address | MaskOfPrefix(prefixLength)) == ~quint32(0)))
        problem = QStringLiteral("%1 is the network or broadcast address of its subnet")
                      .arg(DottedText(settings.readerIp));
    if (!problem.isEmpty()) {
        if (reason)
            *reason = problem;
        return std::nullopt;
    }
    return CardAddress{QHostAddress(address), prefixLength, QHostAddress(ValueOf(settings.defaultGateway))};
}

void SetNetworkSettings(ReaderSettings &settings, const CardAddress &card) {
    settings.readerIp = BytesOf(card.address.toIPv4Address());
    settings.subnetMask = BytesOf(card.mask());
    settings.defaultGateway = BytesOf(card.gateway.toIPv4Address());
}

} // namespace vrx
