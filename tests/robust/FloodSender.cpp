#include "FloodSender.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

sockaddr_in Endpoint(const QHostAddress &address, quint16 port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = htons(port);
    endpoint.sin_addr.s_addr = htonl(address.toIPv4Address());
    return endpoint;
}

} // namespace

FloodSender::FloodSender(FloodGate &gate, QHostAddress target, quint16 targetPort, Plan plan)
    : gate_(gate)
    , target_(std::move(target))
    , targetPort_(targetPort)
    , plan_(std::move(plan)) {}

FloodSender::~FloodSender() {
    gate_.stop();
    if (thread_.joinable())
        thread_.join();
    if (fd_ >= 0)
        ::close(fd_);
}

bool FloodSender::start(QString *error) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in local = Endpoint(plan_.from, plan_.fromPort);
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        if (error)
            *error = QStringLiteral("cannot bind %1:%2: %3")
                         .arg(plan_.from.toString())
                         .arg(plan_.fromPort)
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    thread_ = std::thread([this] { run(); });
    return true;
}

void FloodSender::run() {
    using Clock = std::chrono::steady_clock;
    std::mt19937 random(plan_.seed);
    const sockaddr_in target = Endpoint(target_, targetPort_);
    Clock::time_point due = Clock::now();
    for (int count = 0; count < plan_.quota; ++count) {
        const QByteArray datagram = plan_.next(random);
        const bool open = gate_.whenOpen([&] {
            const ssize_t written = ::sendto(fd_, datagram.constData(), size_t(datagram.size()), 0,
                                             reinterpret_cast<const sockaddr *>(&target), sizeof target);
            if (written != datagram.size()) {
                ++failed_;
                return;
            }
            ++sent_;
            if (datagram.size() == 41)
                ++parameterLength_;
            else if (datagram.size() >= 200)
                ++keyLength_;
        });
        if (!open)
            break;
        if (unpaced_)
            continue;
        // Paced at a steady rate while the gate is open; after a closed spell it starts afresh
        // instead of catching up in a burst.
        due += plan_.pace;
        const Clock::time_point now = Clock::now();
        if (due < now - 4 * plan_.pace)
            due = now;
        std::this_thread::sleep_until(due);
    }
    finished_ = true;
}
