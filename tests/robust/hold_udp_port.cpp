// Holds one UDP address:port for another process, as a second program on the computer would:
// binds it (without sharing), writes "bound" to stdout and keeps it until stdin closes or it is killed.
// Plain POSIX so that it depends on nothing the holding is meant to disturb.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ADDRESS PORT\n", argv[0]);
        return 2;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[2])));
    if (::inet_pton(AF_INET, argv[1], &local.sin_addr) != 1) {
        std::fprintf(stderr, "not an IPv4 address: %s\n", argv[1]);
        return 2;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        std::fprintf(stderr, "cannot bind %s:%s: %s\n", argv[1], argv[2], std::strerror(errno));
        return 1;
    }
    std::printf("bound\n");
    std::fflush(stdout);
    char byte;
    while (::read(STDIN_FILENO, &byte, 1) > 0) {
    }
    ::close(fd);
    return 0;
}
