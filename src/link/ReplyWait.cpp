#include "link/ReplyWait.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <chrono>

namespace vrx {

qint64 TickCount() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

WaitOutcome WaitForReply(qint64 startTime, const qint16 &status, QObject *owner) {
    const bool guarded = owner != nullptr;
    const QPointer<QObject> guard(owner);

    // Its only purpose is to wake the sleeping event loop at the deadline.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;

    for (;;) {
        if (guarded && !guard)
            return WaitOutcome::OwnerDestroyed;
        if (status != 0)
            return WaitOutcome::StatusSet;
        const qint64 remaining = startTime + ReplyWaitMs + 1 - TickCount();
        if (remaining <= 0)
            return WaitOutcome::TimedOut;
        if (!deadline.isActive() || deadline.remainingTime() > remaining)
            deadline.start(int(remaining));
        // Sleeps until at least one event (a datagram, a window event, the deadline) has been handled.
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

} // namespace vrx
