// A card's address and default route over rtnetlink, so that the simulator needs no ip program.
#include "CardNetwork.h"

#include "net/ReachAdvice.h"
#include "net/RtNetlink.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vrx {

namespace {

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

void AddAddress(QByteArray &body, int attribute, const QHostAddress &address) {
    const quint32 value = htonl(address.toIPv4Address());
    RtNetlink::addAttribute(body, attribute, &value, sizeof value);
}

// The body of an address request: the card, the prefix, and the address as the kernel takes it.
QByteArray AddressRequest(bool adding, unsigned index, const CardAddress &card) {
    ifaddrmsg header{};
    header.ifa_family = AF_INET;
    header.ifa_prefixlen = quint8(card.prefixLength);
    header.ifa_scope = RT_SCOPE_UNIVERSE;
    header.ifa_index = index;
    QByteArray body(reinterpret_cast<const char *>(&header), sizeof header);
    AddAddress(body, IFA_LOCAL, card.address);
    AddAddress(body, IFA_ADDRESS, card.address);
    // As "ip addr add ... brd +" does: tools that list a card's broadcast address find it.
    if (adding && card.prefixLength < 31)
        AddAddress(body, IFA_BROADCAST, QHostAddress(card.address.toIPv4Address() | ~card.mask()));
    return body;
}

// The default route of the main table through the card: via the gateway, or (gateway null) to delete it.
QByteArray DefaultRouteRequest(bool adding, unsigned index, const QHostAddress &gateway) {
    rtmsg header{};
    header.rtm_family = AF_INET;
    header.rtm_table = RT_TABLE_MAIN;
    header.rtm_type = RTN_UNICAST;
    header.rtm_protocol = adding ? RTPROT_BOOT : RTPROT_UNSPEC;
    header.rtm_scope = adding ? RT_SCOPE_UNIVERSE : RT_SCOPE_NOWHERE;
    QByteArray body(reinterpret_cast<const char *>(&header), sizeof header);
    if (!gateway.isNull())
        AddAddress(body, RTA_GATEWAY, gateway);
    RtNetlink::addAttribute(body, RTA_OIF, &index, sizeof index);
    return body;
}

QHostAddress DefaultGatewayThrough(unsigned index) {
    rtmsg question{};
    question.rtm_family = AF_INET;
    const QByteArray body(reinterpret_cast<const char *>(&question), sizeof question);
    QHostAddress gateway;
    RtNetlink().ask(RTM_GETROUTE, true, body, [&](const nlmsghdr &message) {
        const auto *route = static_cast<const rtmsg *>(NLMSG_DATA(&message));
        if (message.nlmsg_type != RTM_NEWROUTE || route->rtm_dst_len != 0 ||
            route->rtm_table != RT_TABLE_MAIN || route->rtm_type != RTN_UNICAST)
            return;
        QHostAddress via;
        quint32 device = 0;
        RtNetlink::forEachAttribute(message, sizeof(rtmsg), [&](int type, const char *data, int length) {
            if (length != 4)
                return;
            quint32 value = 0;
            std::memcpy(&value, data, 4);
            if (type == RTA_GATEWAY)
                via = QHostAddress(ntohl(value));
            else if (type == RTA_OIF)
                device = value;
        });
        if (device == index && gateway.isNull())
            gateway = via;
    });
    return gateway;
}

} // namespace

// Any one sign of the initial namespace is enough to refuse: PID 1 (the machine's or the container's
// init) shares it, it has the fixed inode number that recent kernels give the initial namespace, or it
// shows a setting that only the initial namespace has. PID 1's namespace may be unreadable even to root.
bool CanControlCards() {
    return true;
}

bool InOwnNetworkNamespace(QString *why) {
    constexpr ino_t InitialNamespaceInode = 0xEFFFFFF9U;
    struct stat own {};
    if (::stat("/proc/thread-self/ns/net", &own) != 0) {
        *why = QStringLiteral("cannot read this program's network namespace: %1").arg(SystemError(errno));
        return false;
    }
    struct stat init {};
    const bool sharedWithInit =
        ::stat("/proc/1/ns/net", &init) == 0 && init.st_dev == own.st_dev && init.st_ino == own.st_ino;
    if (sharedWithInit || own.st_ino == InitialNamespaceInode ||
        ::access("/proc/sys/net/core/netdev_max_backlog", F_OK) == 0) {
        *why = QStringLiteral(
            "this is the machine's own network namespace, where a reader on a card would renumber a real "
            "network card; run it inside a network namespace of its own (for example "
            "\"ip netns exec NAME vrx-reader-sim --interface CARD\")");
        return false;
    }
    return true;
}

std::optional<CardAddress> ReadCardAddress(const QString &card, QString *error) {
    const QByteArray name = card.toLocal8Bit();
    const unsigned index = ::if_nametoindex(name.constData());
    if (index == 0) {
        *error = QStringLiteral("there is no network card named \"%1\"").arg(card);
        return std::nullopt;
    }
    ifaddrs *addresses = nullptr;
    if (::getifaddrs(&addresses) != 0) {
        *error = QStringLiteral("cannot list the addresses of the cards: %1").arg(SystemError(errno));
        return std::nullopt;
    }
    std::optional<CardAddress> found;
    for (const ifaddrs *entry = addresses; entry && !found; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_netmask ||
            name != entry->ifa_name)
            continue;
        const auto value = [](const sockaddr *address) {
            return ntohl(reinterpret_cast<const sockaddr_in *>(address)->sin_addr.s_addr);
        };
        found = CardAddress{QHostAddress(value(entry->ifa_addr)),
                            PrefixLength(value(entry->ifa_netmask)).value_or(-1), QHostAddress()};
    }
    ::freeifaddrs(addresses);
    if (!found) {
        *error = QStringLiteral("the card \"%1\" has no IPv4 address").arg(card);
        return std::nullopt;
    }
    found->gateway = DefaultGatewayThrough(index);
    return found;
}

bool RenumberCard(const QString &card, const CardAddress &from, const CardAddress &to, QString *error) {
    QString why;
    if (!InOwnNetworkNamespace(&why)) {
        *error = QStringLiteral("refusing to change the addresses of \"%1\": %2").arg(card, why);
        return false;
    }
    const unsigned index = ::if_nametoindex(card.toLocal8Bit().constData());
    if (index == 0) {
        *error = QStringLiteral("there is no network card named \"%1\"").arg(card);
        return false;
    }
    // A change is answered by its acknowledgement alone.
    RtNetlink netlink;
    const auto change = [&](int type, const QByteArray &body, int flags) {
        return netlink.ask(
            type, false, body, [](const nlmsghdr &) {}, NLM_F_ACK | flags);
    };
    int failure = change(RTM_DELADDR, AddressRequest(false, index, from), 0);
    if (failure != 0 && failure != EADDRNOTAVAIL) {
        *error = QStringLiteral("cannot take %1 off %2: %3")
                     .arg(from.address.toString(), card, SystemError(failure));
        return false;
    }
    failure = change(RTM_NEWADDR, AddressRequest(true, index, to), NLM_F_CREATE | NLM_F_REPLACE);
    if (failure != 0) {
        change(RTM_NEWADDR, AddressRequest(true, index, from), NLM_F_CREATE | NLM_F_REPLACE);
        *error = QStringLiteral("cannot give %1 %2/%3: %4")
                     .arg(card, to.address.toString())
                     .arg(to.prefixLength)
                     .arg(SystemError(failure));
        return false;
    }
    const QHostAddress via = to.reachableGateway();
    failure = via.isNull()
                  ? change(RTM_DELROUTE, DefaultRouteRequest(false, index, via), 0)
                  : change(RTM_NEWROUTE, DefaultRouteRequest(true, index, via), NLM_F_CREATE | NLM_F_REPLACE);
    if (failure != 0 && !(via.isNull() && failure == ESRCH)) {
        *error = QStringLiteral("cannot set the default route of %1: %2").arg(card, SystemError(failure));
        return false;
    }
    return true;
}

} // namespace vrx
