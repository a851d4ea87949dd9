#include "InterruptWatch.h"

#include <QSocketNotifier>

#include <cerrno>
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

InterruptWatch::InterruptWatch() {
    // A program started in the background of a script has SIGINT ignored: Ctrl+C is not meant for it.
    if (::sigaction(SIGINT, nullptr, &m_previous) != 0 || m_previous.sa_handler == SIG_IGN)
        return;
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_writeEnd = m_pipe[1];
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &InterruptWatch::take);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &m_previous);
}

InterruptWatch::~InterruptWatch() {
    if (m_pipe[0] < 0)
        return;
    ::sigaction(SIGINT, &m_previous, nullptr);
    g_writeEnd = -1;
    delete m_notifier;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void InterruptWatch::take() {
    char bytes[16];
    while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
        ++m_count;
        emit interrupted(m_count);
    }
}

} // namespace vrxctl
