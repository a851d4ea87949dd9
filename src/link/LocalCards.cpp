#include "link/LocalCards.h"

#include "fields/AddressText.h"

#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QUdpSocket>

namespace vrx {

QString LocalCard::addressText() const {
    return DottedText({quint8(address >> 24), quint8(address >> 16), quint8(address >> 8), quint8(address)});
}

QString LocalCard::subnetText() const {
    return QStringLiteral("%1/%2").arg(addressText()).arg(prefixLength);
}

QList<LocalCard> LocalCards() {
    QList<LocalCard> cards;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        if (!interface.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            LocalCard card;
            card.name = interface.name();
            card.address = entry.ip().toIPv4Address();
            card.prefixLength = entry.prefixLength() < 0 ? 32 : entry.prefixLength();
            card.broadcast = entry.broadcast().isNull() ? 0 : entry.broadcast().toIPv4Address();
            card.loopback = interface.flags().testFlag(QNetworkInterface::IsLoopBack);
            cards.append(card);
        }
    }
    return cards;
}

std::optional<LocalCard> CardWithAddress(const QList<LocalCard> &cards, quint32 address) {
    for (const LocalCard &card : cards)
        if (card.address == address)
            return card;
    return std::nullopt;
}

std::optional<LocalCard> CardOnSubnet(const QList<LocalCard> &cards, quint32 target) {
    std::optional<LocalCard> loopback;
    for (const LocalCard &card : cards) {
        if (!card.onSubnet(target))
            continue;
        if (!card.loopback)
            return card;
        if (!loopback)
            loopback = card;
    }
    return loopback;
}

QString CardListText(const QList<LocalCard> &cards, const QString &separator) {
    QStringList parts;
    for (const bool loopback : {false, true})
        for (const LocalCard &card : cards)
            if (card.loopback == loopback)
                parts.append(card.name + u' ' + card.subnetText());
    return parts.join(separator);
}

QString RouteLocalAddress(const QString &reader) {
    const QHostAddress remote(reader);
    if (remote.protocol() != QAbstractSocket::IPv4Protocol || remote.toString() != reader)
        return {}; // dotted text only
    // Connecting a UDP socket to an address literal happens at once, on every system.
    QUdpSocket probe;
    probe.setProxy(QNetworkProxy::NoProxy);
    probe.connectToHost(remote, 1001);
    if (probe.state() != QAbstractSocket::ConnectedState && !probe.waitForConnected(1000))
        return {};
    const QHostAddress local = probe.localAddress();
    return local.isNull() ? QString() : QHostAddress(local.toIPv4Address()).toString();
}

} // namespace vrx
