#include "link/DatagramSystem.h"

#include <cerrno>
#include <cstring>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace vrx::DatagramSystem {

namespace {

// The errors an ICMP message leaves on a socket while IP_RECVERR is on: the next send reports one of
// them instead of sending. A route that is missing gives two of them too, but every time. While the
// messages pour in (a scan's batch of ARPs given up at once) every attempt may meet a fresh one.
bool LeftByAMessage(int number) {
    return number == ECONNREFUSED || number == EHOSTUNREACH || number == ENETUNREACH || number == EHOSTDOWN;
}

// How often a send is tried again that met an error left by an ICMP message.
constexpr int SendAttempts = 4;

} // namespace

void PrepareSocket(qintptr) {
    // Linux reports an ICMP message on an unconnected UDP socket only with IP_RECVERR, which is off.
}

quint64 NetworkScope() {
    struct stat status {};
    if (::stat("/proc/thread-self/ns/net", &status) != 0)
        return 0;
    return quint64(status.st_ino) ^ (quint64(status.st_dev) << 32);
}

// A datagram from a specific address through a socket bound to every address gives its source with it
// (IP_PKTINFO), as the kernel would take it from a socket bound to that address alone.
int SendNow(qintptr descriptor, const QHostAddress *from, const QByteArray &data, quint32 host,
            quint16 port) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    destination.sin_addr.s_addr = htonl(host);
    iovec bytes{const_cast<char *>(data.constData()), size_t(data.size())};
    msghdr message{};
    message.msg_name = &destination;
    message.msg_namelen = sizeof destination;
    message.msg_iov = &bytes;
    message.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    if (from) {
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr *header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = IPPROTO_IP;
        header->cmsg_type = IP_PKTINFO;
        header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_spec_dst.s_addr = htonl(from->toIPv4Address());
        std::memcpy(CMSG_DATA(header), &info, sizeof info);
    }
    const ssize_t sent = ::sendmsg(int(descriptor), &message, MSG_DONTWAIT);
    if (sent == data.size())
        return 0;
    return sent < 0 ? errno : EMSGSIZE;
}

SendAttempt TrySend(qintptr descriptor, const QHostAddress *from, const QByteArray &data, quint32 host,
                    quint16 port) {
    const int fd = int(descriptor);
    // A UDP send that the kernel drops on its way out (no room for another neighbour entry, a full card
    // queue) returns success unless IP_RECVERR is on. It is on only around the send itself, so that the
    // ICMP messages of a scan (a host unreachable for every address nobody answers ARP for) are not
    // queued on the socket as errors. One that arrives meanwhile still leaves its error for the next
    // send: it is cleared just before, and a send that meets one all the same is tried again.
    const int on = 1;
    const int off = 0;
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    int number = 0;
    for (int attempt = 0; attempt < SendAttempts; ++attempt) {
        int pending = 0;
        socklen_t length = sizeof pending;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &pending, &length); // reads and clears it
        number = SendNow(descriptor, from, data, host, port);
        if (!LeftByAMessage(number))
            break;
    }
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &off, sizeof off);
    if (number == 0)
        return {SendAttempt::Sent, 0};
    if (number == EAGAIN || number == EWOULDBLOCK)
        return {SendAttempt::Busy, number};
    if (number == ENOBUFS)
        return {SendAttempt::Dropped, number};
    return {LeftByAMessage(number) ? SendAttempt::Interrupted : SendAttempt::Failed, number};
}

int SendQueueBytes(qintptr descriptor) {
    int queued = 0;
    if (::ioctl(int(descriptor), SIOCOUTQ, &queued) != 0)
        return 0;
    return queued;
}

int SendBufferSize(qintptr descriptor) {
    int size = 0;
    socklen_t length = sizeof size;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_SNDBUF, &size, &length) != 0)
        return 0;
    return size;
}

void SetSendBufferSize(qintptr descriptor, int bytes) {
    const int fd = int(descriptor);
    // SO_SNDBUFFORCE passes net.core.wmem_max for a process with CAP_NET_ADMIN; others get the limit.
    if (::setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &bytes, sizeof bytes) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

} // namespace vrx::DatagramSystem
