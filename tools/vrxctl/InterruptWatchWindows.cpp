#include "InterruptWatch.h"

#include <QMetaObject>

#include <mutex>
#include <windows.h>

namespace vrxctl {

namespace {

// The console calls its handler on a thread of its own: the watch is reached through a queued call,
// under a lock that its destructor takes too.
std::mutex g_lock;
InterruptWatch *g_watch = nullptr;

} // namespace

struct InterruptWatch::System {
    static BOOL WINAPI onConsoleControl(DWORD event) {
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
            return FALSE; // closing the console or logging off ends the program as usual
        const std::lock_guard<std::mutex> hold(g_lock);
        InterruptWatch *watch = g_watch;
        if (!watch)
            return FALSE;
        QMetaObject::invokeMethod(
            watch, [watch] { watch->take(); }, Qt::QueuedConnection);
        return TRUE;
    }

    bool installed = false;
};

InterruptWatch::InterruptWatch()
    : m_system(std::make_unique<System>()) {
    {
        const std::lock_guard<std::mutex> hold(g_lock);
        g_watch = this;
    }
    m_system->installed = ::SetConsoleCtrlHandler(System::onConsoleControl, TRUE) != 0;
}

InterruptWatch::~InterruptWatch() {
    if (m_system->installed)
        ::SetConsoleCtrlHandler(System::onConsoleControl, FALSE);
    const std::lock_guard<std::mutex> hold(g_lock);
    g_watch = nullptr;
}

} // namespace vrxctl
