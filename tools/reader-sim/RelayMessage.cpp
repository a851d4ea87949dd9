#include "RelayMessage.h"

#include "link/SSock.h"

#include <QtEndian>

namespace vrx {

namespace {

void PutAddress(QByteArray &out, const QHostAddress &address) {
    char bytes[4];
    qToBigEndian<quint32>(address.isNull() ? 0 : address.toIPv4Address(), bytes);
    out.append(bytes, 4);
}

void PutPort(QByteArray &out, quint16 port) {
    char bytes[2];
    qToBigEndian<quint16>(port, bytes);
    out.append(bytes, 2);
}

QHostAddress AddressAt(const QByteArray &in, qsizetype at) {
    const quint32 value = qFromBigEndian<quint32>(in.constData() + at);
    return value == 0 ? QHostAddress() : QHostAddress(value);
}

quint16 PortAt(const QByteArray &in, qsizetype at) {
    return qFromBigEndian<quint16>(in.constData() + at);
}

} // namespace

QByteArray RelayMessage::encode() const {
    QByteArray out(1, char(kind));
    switch (kind) {
    case Bind: {
        PutAddress(out, address);
        PutPort(out, port);
        char bytes[8];
        qToBigEndian<quint64>(owner, bytes);
        out.append(bytes, 8);
        break;
    }
    case Bound:
        PutPort(out, port);
        break;
    case Refused:
        out.append(payload);
        break;
    case Arrived:
    case Send:
        PutAddress(out, address);
        PutPort(out, port);
        PutAddress(out, local);
        out.append(payload);
        break;
    case Close:
        break;
    }
    return out;
}

std::optional<RelayMessage> RelayMessage::Decode(const QByteArray &datagram) {
    if (datagram.isEmpty())
        return std::nullopt;
    RelayMessage message;
    const qsizetype size = datagram.size();
    switch (datagram.front()) {
    case Bind:
        if (size < 15)
            return std::nullopt;
        message.kind = Bind;
        message.address = AddressAt(datagram, 1);
        message.port = PortAt(datagram, 5);
        message.owner = qFromBigEndian<quint64>(datagram.constData() + 7);
        return message;
    case Bound:
        if (size < 3)
            return std::nullopt;
        message.kind = Bound;
        message.port = PortAt(datagram, 1);
        return message;
    case Refused:
        message.kind = Refused;
        message.payload = datagram.mid(1);
        return message;
    case Arrived:
    case Send:
        if (size < 11)
            return std::nullopt;
        message.kind = Kind(datagram.front());
        message.address = AddressAt(datagram, 1);
        message.port = PortAt(datagram, 5);
        message.local = AddressAt(datagram, 7);
        message.payload = datagram.mid(11);
        return message;
    case Close:
        message.kind = Close;
        return message;
    default:
        return std::nullopt;
    }
}

std::optional<std::pair<QHostAddress, quint16>> ParseRelayEndpoint(const QString &text) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    const std::optional<QHostAddress> address = SSock::ParseIPv4(text.left(colon));
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!address || !ok || port > 65535)
        return std::nullopt;
    return std::pair{*address, quint16(port)};
}

} // namespace vrx
