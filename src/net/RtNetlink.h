#pragma once

#include <QByteArray>

#include <functional>

struct nlmsghdr;

namespace vrx {

// One question at a time to the kernel's routing netlink (rtnetlink) of this network namespace: routes,
// neighbour entries, the neighbour table's limits. Sends nothing on any network.
class RtNetlink {
public:
    RtNetlink();
    ~RtNetlink();
    RtNetlink(const RtNetlink &) = delete;
    RtNetlink &operator=(const RtNetlink &) = delete;

    // Sends a request (a netlink message of type `type` whose body is `body`, attributes included) and
    // hands every message of the answer to `each`. dump: the request asks for a list. flags: more of the
    // header's flags (NLM_F_ACK for a change, answered by its acknowledgement alone). Returns 0, or the
    // error the kernel answered with (an errno such as ENETUNREACH), or the errno of the failure to ask.
    int ask(int type, bool dump, const QByteArray &body, const std::function<void(const nlmsghdr &)> &each,
            int flags = 0);

    // Appends a netlink attribute to a request body.
    static void addAttribute(QByteArray &body, int type, const void *data, int length);
    // Calls `each(type, data, length)` for every attribute that follows the fixed header of `header`
    // bytes in the message.
    static void forEachAttribute(const nlmsghdr &message, int header,
                                 const std::function<void(int, const char *, int)> &each);

private:
    int m_fd = -1;
    int m_openError = 0;
    quint32 m_sequence = 0;
};

} // namespace vrx
