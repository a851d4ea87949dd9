#include "InterruptWatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vrxctl {

namespace {

// A signal handler may only write to a descriptor: the event loop reads the other end, one byte per
// signal, the byte being the signal's number.
volatile sig_atomic_t g_writeEnd = -1;

constexpr int Watched[] = {SIGINT, SIGTERM};

void OnInterrupt(int number) {
    const int saved = errno;
    const char byte = char(number);
    if (g_writeEnd >= 0) [[maybe_unused]]
        const auto written = ::write(g_writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

struct InterruptWatch::System {
    int pipe[2] = {-1, -1};
    QSocketNotifier *notifier = nullptr;
    struct sigaction previous[2]{};
    bool installed[2] = {false, false};
};

InterruptWatch::InterruptWatch()
    : m_system(std::make_unique<System>()) {
    System &system = *m_system;
    if (::pipe2(system.pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_writeEnd = system.pipe[1];
    system.notifier = new QSocketNotifier(system.pipe[0], QSocketNotifier::Read, this);
    connect(system.notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        ssize_t read = 0;
        while ((read = ::read(m_system->pipe[0], bytes, sizeof bytes)) > 0)
            for (ssize_t each = 0; each < read; ++each)
                take(bytes[each] == SIGTERM ? InterruptKind::Terminate : InterruptKind::Interrupt);
    });
    for (int i = 0; i < 2; ++i) {
        // A program started in the background of a script has SIGINT ignored: Ctrl+C is not meant for
        // it, and a signal ignored stays ignored.
        if (::sigaction(Watched[i], nullptr, &system.previous[i]) != 0 ||
            system.previous[i].sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        system.installed[i] = ::sigaction(Watched[i], &action, nullptr) == 0;
    }
}

InterruptWatch::~InterruptWatch() {
    System &system = *m_system;
    if (system.pipe[0] < 0)
        return;
    for (int i = 0; i < 2; ++i)
        if (system.installed[i])
            ::sigaction(Watched[i], &system.previous[i], nullptr);
    g_writeEnd = -1;
    delete system.notifier;
    ::close(system.pipe[0]);
    ::close(system.pipe[1]);
}

} // namespace vrxctl
