#include "link/DatagramSystem.h"

// Winsock first: its extensions build on it.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <mstcpip.h>
#include <mswsock.h>

#include <cstring>

namespace vrx::DatagramSystem {

void PrepareSocket(qintptr descriptor) {
    // By default Windows turns an ICMP port unreachable, answering any earlier datagram, into a
    // WSAECONNRESET on the next receive: a scan would stop at the first address where a computer
    // answers without a reader. The answer of a silent address is an absence, never an error.
    BOOL report = FALSE;
    DWORD returned = 0;
    ::WSAIoctl(SOCKET(descriptor), SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr,
               nullptr);
}

quint64 NetworkScope() {
    return 0; // one network stack per computer
}

int SendNow(qintptr descriptor, const QHostAddress *from, const QByteArray &data, quint32 host,
            quint16 port) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    destination.sin_addr.s_addr = htonl(host);
    WSABUF bytes{ULONG(data.size()), const_cast<char *>(data.constData())};
    WSAMSG message{};
    message.name = reinterpret_cast<sockaddr *>(&destination);
    message.namelen = sizeof destination;
    message.lpBuffers = &bytes;
    message.dwBufferCount = 1;
    // A datagram from a specific address through a socket bound to every address names its source
    // (IP_PKTINFO), as a socket bound to that address alone would send it.
    alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))] = {};
    if (from) {
        message.Control.buf = control;
        message.Control.len = sizeof control;
        WSACMSGHDR *header = WSA_CMSG_FIRSTHDR(&message);
        header->cmsg_level = IPPROTO_IP;
        header->cmsg_type = IP_PKTINFO;
        header->cmsg_len = WSA_CMSG_LEN(sizeof(IN_PKTINFO));
        IN_PKTINFO info{};
        info.ipi_addr.s_addr = htonl(from->toIPv4Address());
        std::memcpy(WSA_CMSG_DATA(header), &info, sizeof info);
    }
    DWORD sent = 0;
    if (::WSASendMsg(SOCKET(descriptor), &message, 0, &sent, nullptr, nullptr) != 0)
        return ::WSAGetLastError();
    return int(sent) == data.size() ? 0 : WSAEMSGSIZE;
}

SendAttempt TrySend(qintptr descriptor, const QHostAddress *from, const QByteArray &data, quint32 host,
                    quint16 port) {
    // Windows holds a datagram for an unresolved neighbour itself and reports no drop: what it loses
    // stays unanswered, and the scan asks again when its wait ends.
    const int number = SendNow(descriptor, from, data, host, port);
    if (number == 0)
        return {SendAttempt::Sent, 0};
    if (number == WSAEWOULDBLOCK)
        return {SendAttempt::Busy, number};
    if (number == WSAENOBUFS)
        return {SendAttempt::Dropped, number};
    return {SendAttempt::Failed, number};
}

int SendQueueBytes(qintptr) {
    return 0; // Windows does not tell what a UDP socket still holds
}

int SendBufferSize(qintptr descriptor) {
    int size = 0;
    int length = sizeof size;
    if (::getsockopt(SOCKET(descriptor), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<char *>(&size), &length) !=
        0)
        return 0;
    return size;
}

void SetSendBufferSize(qintptr descriptor, int bytes) {
    ::setsockopt(SOCKET(descriptor), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char *>(&bytes),
                 sizeof bytes);
}

} // namespace vrx::DatagramSystem
