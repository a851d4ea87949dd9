// A card's address and default route over rtnetlink, so that the simulator needs no ip program.
#include "CardNetwork.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <functional>
#include <ifaddrs.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace vrx {

namespace {

QString SystemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// One rtnetlink request: the header, the fixed body, then attributes aligned as the kernel reads them.
class NetlinkRequest {
public:
    template <typename Body>
    NetlinkRequest(quint16 type, quint16 flags, const Body &body)
        : bytes_(NLMSG_LENGTH(sizeof(Body)), '\0') {
        header()->nlmsg_type = type;
        header()->nlmsg_flags = quint16(NLM_F_REQUEST | flags);
        std::memcpy(NLMSG_DATA(header()), &body, sizeof(Body));
    }

    void addAddress(quint16 attribute, const QHostAddress &address) {
        const quint32 value = htonl(address.toIPv4Address());
        add(attribute, &value, sizeof value);
    }
    void addIndex(quint16 attribute, quint32 index) { add(attribute, &index, sizeof index); }

    nlmsghdr *header() { return reinterpret_cast<nlmsghdr *>(bytes_.data()); }
    // A "get" (the kernel's kind 2) asking for every entry, answered up to NLMSG_DONE; everything else is
    // acknowledged. The dump flags alone cannot tell: NLM_F_REPLACE shares its bit with NLM_F_ROOT.
    bool isDump() {
        return header()->nlmsg_type % 4 == 2 && (header()->nlmsg_flags & NLM_F_DUMP) == NLM_F_DUMP;
    }
    QByteArray &finished() {
        header()->nlmsg_len = quint32(bytes_.size());
        return bytes_;
    }

private:
    void add(quint16 attribute, const void *data, size_t size) {
        const qsizetype offset = NLMSG_ALIGN(bytes_.size());
        bytes_.resize(offset + RTA_SPACE(size), '\0');
        auto *entry = reinterpret_cast<rtattr *>(bytes_.data() + offset);
        entry->rta_type = attribute;
        entry->rta_len = quint16(RTA_LENGTH(size));
        std::memcpy(RTA_DATA(entry), data, size);
    }

    QByteArray bytes_;
};

class RouteSocket {
public:
    RouteSocket()
        : fd_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE))
        , openError_(fd_ < 0 ? errno : 0) {
        // The kernel answers at once; a bound on the wait keeps a surprise from hanging the reader.
        const timeval limit{2, 0};
        if (fd_ >= 0)
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    }
    ~RouteSocket() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RouteSocket(const RouteSocket &) = delete;
    RouteSocket &operator=(const RouteSocket &) = delete;

    // Sends the request and reads the kernel's answers up to its acknowledgement or the end of a dump,
    // handing each message on the way to onMessage. Returns 0 or the errno the kernel reported.
    int exchange(NetlinkRequest &request, const std::function<void(const nlmsghdr *)> &onMessage = {}) {
        if (fd_ < 0)
            return openError_;
        if (!request.isDump())
            request.header()->nlmsg_flags |= NLM_F_ACK;
        request.header()->nlmsg_seq = ++sequence_;
        const QByteArray &bytes = request.finished();
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        if (::sendto(fd_, bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<sockaddr *>(&kernel),
                     sizeof kernel) < 0)
            return errno;
        alignas(nlmsghdr) char buffer[32768];
        for (;;) {
            const ssize_t received = ::recv(fd_, buffer, sizeof buffer, 0);
            if (received < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            int left = int(received);
            for (auto *message = reinterpret_cast<nlmsghdr *>(buffer); NLMSG_OK(message, left);
                 message = NLMSG_NEXT(message, left)) {
                if (message->nlmsg_seq != sequence_)
                    continue;
                if (message->nlmsg_type == NLMSG_DONE)
                    return 0;
                if (message->nlmsg_type == NLMSG_ERROR)
                    return -static_cast<const nlmsgerr *>(NLMSG_DATA(message))->error;
                if (onMessage)
                    onMessage(message);
            }
        }
    }

private:
    int fd_;
    int openError_;
    quint32 sequence_ = 0;
};

NetlinkRequest AddressRequest(quint16 type, quint16 flags, unsigned index, const CardAddress &card) {
    ifaddrmsg body{};
    body.ifa_family = AF_INET;
    body.ifa_prefixlen = quint8(card.prefixLength);
    body.ifa_scope = RT_SCOPE_UNIVERSE;
    body.ifa_index = index;
    NetlinkRequest request(type, flags, body);
    request.addAddress(IFA_LOCAL, card.address);
    request.addAddress(IFA_ADDRESS, card.address);
    // As "ip addr add ... brd +" does: tools that list a card's broadcast address find it.
    if (type == RTM_NEWADDR && card.prefixLength < 31)
        request.addAddress(IFA_BROADCAST, QHostAddress(card.address.toIPv4Address() | ~card.mask()));
    return request;
}

// The default route of the main table through the card: via the gateway, or (gateway null) to delete it.
NetlinkRequest DefaultRouteRequest(quint16 type, quint16 flags, unsigned index, const QHostAddress &gateway) {
    rtmsg body{};
    body.rtm_family = AF_INET;
    body.rtm_table = RT_TABLE_MAIN;
    body.rtm_type = RTN_UNICAST;
    body.rtm_protocol = type == RTM_NEWROUTE ? RTPROT_BOOT : RTPROT_UNSPEC;
    body.rtm_scope = type == RTM_NEWROUTE ? RT_SCOPE_UNIVERSE : RT_SCOPE_NOWHERE;
    NetlinkRequest request(type, flags, body);
    if (!gateway.isNull())
        request.addAddress(RTA_GATEWAY, gateway);
    request.addIndex(RTA_OIF, index);
    return request;
}

QHostAddress DefaultGatewayThrough(unsigned index) {
    rtmsg body{};
    body.rtm_family = AF_INET;
    NetlinkRequest request(RTM_GETROUTE, NLM_F_DUMP, body);
    QHostAddress gateway;
    RouteSocket().exchange(request, [&](const nlmsghdr *message) {
        const auto *route = static_cast<const rtmsg *>(NLMSG_DATA(message));
        if (message->nlmsg_type != RTM_NEWROUTE || route->rtm_dst_len != 0 ||
            route->rtm_table != RT_TABLE_MAIN || route->rtm_type != RTN_UNICAST)
            return;
        QHostAddress via;
        quint32 device = 0;
        int left = int(RTM_PAYLOAD(message));
        for (auto *entry = RTM_RTA(route); RTA_OK(entry, left); entry = RTA_NEXT(entry, left)) {
            if (entry->rta_type == RTA_GATEWAY && RTA_PAYLOAD(entry) == 4)
                via = QHostAddress(ntohl(*static_cast<const quint32 *>(RTA_DATA(entry))));
            else if (entry->rta_type == RTA_OIF && RTA_PAYLOAD(entry) == 4)
                device = *static_cast<const quint32 *>(RTA_DATA(entry));
        }
        if (device == index && gateway.isNull())
            gateway = via;
    });
    return gateway;
}

} // namespace

// Any one sign of the initial namespace is enough to refuse: PID 1 (the machine's or the container's
// init) shares it, it has the fixed inode number that recent kernels give the initial namespace, or it
// shows a setting that only the initial namespace has. PID 1's namespace may be unreadable even to root.
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
        found = CardAddress{QHostAddress(value(entry->ifa_addr)), PrefixLengthOf(value(entry->ifa_netmask)),
                            QHostAddress()};
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
    RouteSocket socket;
    NetlinkRequest removeOld = AddressRequest(RTM_DELADDR, 0, index, from);
    int failure = socket.exchange(removeOld);
    if (failure != 0 && failure != EADDRNOTAVAIL) {
        *error = QStringLiteral("cannot take %1 off %2: %3")
                     .arg(from.address.toString(), card, SystemError(failure));
        return false;
    }
    NetlinkRequest addNew = AddressRequest(RTM_NEWADDR, NLM_F_CREATE | NLM_F_REPLACE, index, to);
    failure = socket.exchange(addNew);
    if (failure != 0) {
        NetlinkRequest putBack = AddressRequest(RTM_NEWADDR, NLM_F_CREATE | NLM_F_REPLACE, index, from);
        socket.exchange(putBack);
        *error = QStringLiteral("cannot give %1 %2/%3: %4")
                     .arg(card, to.address.toString())
                     .arg(to.prefixLength)
                     .arg(SystemError(failure));
        return false;
    }
    const QHostAddress via = to.reachableGateway();
    NetlinkRequest route = via.isNull()
                               ? DefaultRouteRequest(RTM_DELROUTE, 0, index, via)
                               : DefaultRouteRequest(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_REPLACE, index, via);
    failure = socket.exchange(route);
    if (failure != 0 && !(via.isNull() && failure == ESRCH)) {
        *error = QStringLiteral("cannot set the default route of %1: %2").arg(card, SystemError(failure));
        return false;
    }
    return true;
}

} // namespace vrx
