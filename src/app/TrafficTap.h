#pragma once

#include "link/TrafficLog.h"

#include <QPointer>

class QWidget;

namespace vrx {

class TrafficLogWindow;

// The main window's end of the traffic log. The log records from the window's start, whether or not
// its window is open, so that a technician who opens it after something went wrong finds that
// exchange there; the log window shows it while open.
class TrafficTap {
public:
    TrafficTap();
    TrafficTap(const TrafficTap &) = delete;
    TrafficTap &operator=(const TrafficTap &) = delete;
    // Closes the log window, which must not outlive the tap it reports to.
    ~TrafficTap();

    TrafficLog &Log() { return m_log; }
    const TrafficLog &Log() const { return m_log; }
    // Opens the log window over `owner`, or brings it to the front when it is open.
    void Show(QWidget *owner);

private:
    const TrafficLog::Clock::time_point m_started = TrafficLog::Clock::now();
    TrafficLog m_log;
    QPointer<TrafficLogWindow> m_window;
};

} // namespace vrx
