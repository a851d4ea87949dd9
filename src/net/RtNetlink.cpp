#include "net/RtNetlink.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vrx {

RtNetlink::RtNetlink()
    : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE))
    , m_openError(m_fd < 0 ? errno : 0) {
    // The kernel answers at once; a bound on the wait keeps a surprise from hanging the caller.
    const timeval limit{2, 0};
    if (m_fd >= 0)
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
}

RtNetlink::~RtNetlink() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void RtNetlink::addAttribute(QByteArray &body, int type, const void *data, int length) {
    rtattr attribute{};
    attribute.rta_type = quint16(type);
    attribute.rta_len = quint16(RTA_LENGTH(length));
    body.resize(int(RTA_ALIGN(body.size())));
    body.append(reinterpret_cast<const char *>(&attribute), sizeof attribute);
    body.append(static_cast<const char *>(data), length);
    body.resize(int(RTA_ALIGN(body.size())));
}

void RtNetlink::forEachAttribute(const nlmsghdr &message, int header,
                                 const std::function<void(int, const char *, int)> &each) {
    const char *start = static_cast<const char *>(NLMSG_DATA(&message)) + NLMSG_ALIGN(header);
    int length = int(message.nlmsg_len) - int(NLMSG_LENGTH(NLMSG_ALIGN(header)));
    for (auto *attribute = reinterpret_cast<const rtattr *>(start); RTA_OK(attribute, length);
         attribute = RTA_NEXT(attribute, length))
        each(attribute->rta_type, static_cast<const char *>(RTA_DATA(attribute)),
             int(RTA_PAYLOAD(attribute)));
}

int RtNetlink::ask(int type, bool dump, const QByteArray &body,
                   const std::function<void(const nlmsghdr &)> &each, int flags) {
    if (m_fd < 0)
        return m_openError;
    QByteArray request(int(NLMSG_LENGTH(body.size())), '\0');
    auto *header = reinterpret_cast<nlmsghdr *>(request.data());
    header->nlmsg_len = quint32(request.size());
    header->nlmsg_type = quint16(type);
    header->nlmsg_flags = quint16(NLM_F_REQUEST | (dump ? NLM_F_DUMP : 0) | flags);
    header->nlmsg_seq = ++m_sequence;
    std::memcpy(NLMSG_DATA(header), body.constData(), size_t(body.size()));
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(m_fd, request.constData(), size_t(request.size()), 0, reinterpret_cast<sockaddr *>(&kernel),
                 sizeof kernel) < 0)
        return errno;

    // A dump ends with NLMSG_DONE and may take several reads; a single answer is one message or an
    // error. The kernel never makes one read larger than this.
    static thread_local char buffer[64 * 1024];
    for (;;) {
        const ssize_t received = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (received < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        int length = int(received);
        for (auto *message = reinterpret_cast<const nlmsghdr *>(buffer); NLMSG_OK(message, length);
             message = NLMSG_NEXT(message, length)) {
            if (message->nlmsg_seq != m_sequence)
                continue; // the late end of an earlier question
            if (message->nlmsg_type == NLMSG_DONE)
                return 0;
            if (message->nlmsg_type == NLMSG_ERROR) {
                const auto *error = static_cast<const nlmsgerr *>(NLMSG_DATA(message));
                return -error->error;
            }
            each(*message);
            if (!dump)
                return 0;
        }
    }
}

} // namespace vrx
