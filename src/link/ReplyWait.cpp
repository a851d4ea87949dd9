#include "link/ReplyWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <optional>

namespace vrx {

qint64 TickCount() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

WaitOutcome WaitForReply(qint64 startTime, const qint16 &status, QObject *owner) {
    const bool guarded = owner != nullptr;
    const QPointer<QObject> guard(owner);

    // A reader on this machine has answered by the end of the second pass over what is ready: those
    // passes need no timer and do not sleep. Only then does the wait sleep, with a timer to wake it.
    constexpr int PassesBeforeSleeping = 2;
    int passes = 0;
    std::optional<QTimer> deadline;

    for (;;) {
        if (guarded && !guard)
            return WaitOutcome::OwnerDestroyed;
        if (status != 0)
            return WaitOutcome::StatusSet;
        const qint64 remaining = startTime + ReplyWaitMs + 1 - TickCount();
        if (remaining <= 0)
            return WaitOutcome::TimedOut;
        if (passes < PassesBeforeSleeping) {
            ++passes;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            continue;
        }
        if (!deadline) {
            deadline.emplace();
            deadline->setSingleShot(true);
            deadline->setTimerType(Qt::PreciseTimer);
        }
        if (!deadline->isActive() || deadline->remainingTime() > remaining)
            deadline->start(int(remaining));
        // Sleeps until at least one event (a datagram, a window event, the deadline) has been handled.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

} // namespace vrx
