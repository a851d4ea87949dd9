#include "link/LocalCards.h"

#include "fields/AddressText.h"

#include <QNetworkInterface>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(1001);
    if (inet_pton(AF_INET, reader.toLatin1().constData(), &remote.sin_addr) != 1)
        return {};
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    QString local;
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&remote), sizeof remote) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&bound), &length) == 0) {
        char text[INET_ADDRSTRLEN] = {};
        if (inet_ntop(AF_INET, &bound.sin_addr, text, sizeof text))
            local = QString::fromLatin1(text);
    }
    ::close(fd);
    return local;
}

} // namespace vrx
