#include "net/NeighbourTable.h"

#include "net/RtNetlink.h"

#include <QFile>

#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace vrx {

namespace {

constexpr int KnownStates = NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE | NUD_PERMANENT | NUD_NOARP;
// The entries that the kernel's forced garbage collection may drop when the table is full.
constexpr int CollectableStates = NUD_FAILED | NUD_NOARP | NUD_NONE;

// Calls each(address, state) for every IPv4 neighbour entry of this namespace.
template <typename Each>
bool ForEachNeighbour(RtNetlink &netlink, Each each) {
    ndmsg question{};
    question.ndm_family = AF_INET;
    const QByteArray body(reinterpret_cast<const char *>(&question), sizeof question);
    return netlink.ask(RTM_GETNEIGH, true, body, [&](const nlmsghdr &message) {
        if (message.nlmsg_type != RTM_NEWNEIGH)
            return;
        const auto *entry = static_cast<const ndmsg *>(NLMSG_DATA(&message));
        RtNetlink::forEachAttribute(message, sizeof(ndmsg), [&](int type, const char *data, int length) {
            if (type != NDA_DST || length != 4)
                return;
            quint32 address = 0;
            std::memcpy(&address, data, 4);
            each(ntohl(address), int(entry->ndm_state));
        });
    }) == 0;
}

int ProcNumber(const QString &path, int fallback) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fallback;
    bool ok = false;
    const int value = file.readAll().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

struct NeighbourTable::System {
    RtNetlink netlink; // made where the table is: the namespace of its maker answers
};

NeighbourTable::NeighbourTable()
    : m_system(std::make_unique<System>()) {}

NeighbourTable::~NeighbourTable() = default;

NeighbourTableUse NeighbourTable::read() {
    RtNetlink &netlink = m_system->netlink;
    NeighbourTableUse use;
    // The table's own report: its limits and its count for the whole machine. (In any namespace but the
    // first, /proc/sys/net/ipv4/neigh/default/ is missing; the kernel reports the same here.)
    ndtmsg question{};
    question.ndtm_family = AF_INET;
    const QByteArray body(reinterpret_cast<const char *>(&question), sizeof question);
    bool limitRead = false;
    netlink.ask(RTM_GETNEIGHTBL, true, body, [&](const nlmsghdr &message) {
        if (message.nlmsg_type != RTM_NEWNEIGHTBL)
            return;
        bool arpCache = false;
        int limit = -1;
        int entries = -1;
        RtNetlink::forEachAttribute(message, sizeof(ndtmsg), [&](int type, const char *data, int length) {
            if (type == NDTA_NAME)
                arpCache = QByteArray(data, length).startsWith("arp_cache");
            else if (type == NDTA_THRESH3 && length == 4)
                std::memcpy(&limit, data, 4);
            else if (type == NDTA_CONFIG && length >= int(sizeof(ndt_config))) {
                ndt_config config{};
                std::memcpy(&config, data, sizeof config);
                entries = int(config.ndtc_entries);
            }
        });
        // The table's message carries the limits; the cards' messages that follow carry only settings.
        if (arpCache && limit > 0 && entries >= 0) {
            use.limit = limit;
            use.entries = entries;
            limitRead = true;
        }
    });
    const bool listed = ForEachNeighbour(netlink, [&](quint32 address, int state) {
        if (state & CollectableStates)
            ++use.collectableHere;
        if (state & NUD_INCOMPLETE)
            ++use.unresolvedHere;
        if (state & KnownStates)
            use.knownHere.insert(address);
    });
    use.read = limitRead && listed;
    return use;
}

CardArp ReadCardArp(const QString &card) {
    CardArp arp;
    const QString folder = QStringLiteral("/proc/sys/net/ipv4/neigh/%1/").arg(card);
    const auto value = [&](const char *name, int fallback) {
        return ProcNumber(folder + QLatin1String(name), fallback);
    };
    arp.solicits = qMax(1, value("mcast_solicit", 3) + value("app_solicit", 0));
    arp.retransMs = qMax(10, value("retrans_time_ms", 1000));
    // The card's flags, asked of this namespace's kernel (/sys may show another namespace's cards).
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    const QByteArray name = card.toLocal8Bit();
    std::strncpy(request.ifr_name, name.constData(), IFNAMSIZ - 1);
    if (fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0)
        arp.arp = !(request.ifr_flags & (IFF_NOARP | IFF_LOOPBACK));
    if (fd >= 0)
        ::close(fd);
    return arp;
}

bool NeighbourTable::settled(quint32 address, const QString &card) {
    ndmsg question{};
    question.ndm_family = AF_INET;
    question.ndm_ifindex = int(if_nametoindex(card.toLocal8Bit().constData()));
    QByteArray body(reinterpret_cast<const char *>(&question), sizeof question);
    const quint32 destination = htonl(address);
    RtNetlink::addAttribute(body, NDA_DST, &destination, sizeof destination);
    bool settled = true; // no entry at all: nothing waits for it
    m_system->netlink.ask(RTM_GETNEIGH, false, body, [&](const nlmsghdr &message) {
        if (message.nlmsg_type == RTM_NEWNEIGH)
            settled = !(static_cast<const ndmsg *>(NLMSG_DATA(&message))->ndm_state & NUD_INCOMPLETE);
    });
    return settled;
}

} // namespace vrx
