#include "RouteAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vrxctl {

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

} // namespace vrxctl
