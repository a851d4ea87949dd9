#pragma once

#include "link/TrafficLog.h"

#include <QPointer>

class QWidget;

namespace vrx {

class TrafficLogWindow;

// The main window's end of the traffic log. The exchange code records through Log(), which is null
// while the log window is closed: then recording costs one pointer check and nothing is kept.
class TrafficTap {
public:
    TrafficTap() = default;
    TrafficTap(const TrafficTap &) = delete;
    TrafficTap &operator=(const TrafficTap &) = delete;
    // Closes the log window, which must not outlive the tap it reports to.
    ~TrafficTap();

    TrafficLog *Log() const { return m_log; }
    // Opens the log window over `owner`, or brings it to the front when it is open.
    void Show(QWidget *owner);

private:
    const TrafficLog::Clock::time_point m_started = TrafficLog::Clock::now();
    QPointer<TrafficLogWindow> m_window;
    TrafficLog *m_log = nullptr;
};

} // namespace vrx
