#include "net/TargetRoute.h"

#include "net/RtNetlink.h"

#include <QHash>

#include <arpa/inet.h>
#include <linux/rtnetlink.h>
#include <net/if.h>

#include <cstring>

namespace vrx {

// One netlink socket for every question.
struct RouteLookup::System {
    QString cardName(int index);

    RtNetlink netlink;
    QHash<int, QString> cardNames; // by interface index: each name is asked for once
};

RouteLookup::RouteLookup()
    : m_system(std::make_unique<System>()) {}

RouteLookup::~RouteLookup() = default;

QString RouteLookup::System::cardName(int index) {
    if (index <= 0)
        return {};
    auto known = cardNames.constFind(index);
    if (known == cardNames.constEnd()) {
        char name[IF_NAMESIZE] = {};
        known = cardNames.insert(index, if_indextoname(unsigned(index), name) ? QString::fromLocal8Bit(name)
                                                                              : QString());
    }
    return *known;
}

TargetRoute RouteLookup::lookUp(quint32 target) {
    rtmsg question{};
    question.rtm_family = AF_INET;
    question.rtm_dst_len = 32;
    QByteArray body(reinterpret_cast<const char *>(&question), sizeof question);
    const quint32 destination = htonl(target);
    RtNetlink::addAttribute(body, RTA_DST, &destination, sizeof destination);

    TargetRoute route;
    int card = 0;
    quint32 source = 0;
    bool answered = false;
    const int error = m_system->netlink.ask(RTM_GETROUTE, false, body, [&](const nlmsghdr &message) {
        if (message.nlmsg_type != RTM_NEWROUTE)
            return;
        const auto *answer = static_cast<const rtmsg *>(NLMSG_DATA(&message));
        answered = true;
        switch (answer->rtm_type) {
        case RTN_LOCAL:
            route.kind = TargetRoute::Local;
            break;
        case RTN_UNICAST:
            route.kind = TargetRoute::OnLink;
            break;
        default: // unreachable, prohibited, blackhole, broadcast, multicast: no reader is reached there
            route.kind = TargetRoute::Unreachable;
            break;
        }
        RtNetlink::forEachAttribute(message, sizeof(rtmsg), [&](int type, const char *data, int length) {
            if (length != 4)
                return;
            quint32 value = 0;
            std::memcpy(&value, data, 4);
            if (type == RTA_OIF)
                card = int(value);
            else if (type == RTA_PREFSRC)
                source = ntohl(value);
            else if (type == RTA_GATEWAY)
                route.gateway = ntohl(value);
        });
    });
    if (error != 0 || !answered || route.kind == TargetRoute::Unreachable)
        return {};
    if (route.kind == TargetRoute::OnLink && route.gateway != 0)
        route.kind = TargetRoute::ViaGateway;
    route.source = route.kind == TargetRoute::Local && source == 0 ? target : source;
    route.card = m_system->cardName(card);
    return route;
}

} // namespace vrx
