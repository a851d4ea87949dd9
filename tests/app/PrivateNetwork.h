#pragma once

// A network of this test process's own: a fresh network namespace holding only the loopback card, up.
// A socket bound to every address there (0.0.0.0:1000) cannot take the port from tests running beside
// this one, and nothing from a real network reaches it. The namespace goes when the process ends.
// Must be entered before any thread starts (before the application object): a namespace is per thread.
#include <QString>

#include <cerrno>
#include <cstring>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

// Brings the loopback card of the thread's namespace up: a fresh namespace has it down.
inline bool BringLoopbackUp(QString *why) {
    const int control = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = control >= 0 && ioctl(control, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags |= IFF_UP;
    up = up && ioctl(control, SIOCSIFFLAGS, &request) == 0;
    const int failure = errno;
    if (control >= 0)
        close(control);
    if (!up)
        *why = QStringLiteral("loopback card stays down: %1")
                   .arg(QString::fromLocal8Bit(std::strerror(failure)));
    return up;
}

inline bool EnterPrivateNetwork(QString *why) {
    // As root a network namespace alone; otherwise inside a user namespace of our own, where this
    // process holds the rights to bring the card up and bind port 1000.
    if (unshare(CLONE_NEWNET) != 0 && unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0) {
        *why = QStringLiteral("no network namespace: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return BringLoopbackUp(why);
}
