#include "InterruptWatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vrxctl {

namespace {

// A signal handler may only write to a descriptor: the event loop reads the other end.
volatile sig_atomic_t g_writeEnd = -1;

void OnInterrupt(int) {
    const int saved = errno;
    const char byte = 1;
    if (g_writeEnd >= 0) [[maybe_unused]]
        const auto written = ::write(g_writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

struct InterruptWatch::System {
    int pipe[2] = {-1, -1};
    QSocketNotifier *notifier = nullptr;
    struct sigaction previous {};
};

InterruptWatch::InterruptWatch()
    : m_system(std::make_unique<System>()) {
    System &system = *m_system;
    // A program started in the background of a script has SIGINT ignored: Ctrl+C is not meant for it.
    if (::sigaction(SIGINT, nullptr, &system.previous) != 0 || system.previous.sa_handler == SIG_IGN)
        return;
    if (::pipe2(system.pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_writeEnd = system.pipe[1];
    system.notifier = new QSocketNotifier(system.pipe[0], QSocketNotifier::Read, this);
    connect(system.notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        ssize_t read = 0;
        while ((read = ::read(m_system->pipe[0], bytes, sizeof bytes)) > 0)
            for (ssize_t each = 0; each < read; ++each)
                take();
    });
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &system.previous);
}

InterruptWatch::~InterruptWatch() {
    System &system = *m_system;
    if (system.pipe[0] < 0)
        return;
    ::sigaction(SIGINT, &system.previous, nullptr);
    g_writeEnd = -1;
    delete system.notifier;
    ::close(system.pipe[0]);
    ::close(system.pipe[1]);
}

} // namespace vrxctl
