#pragma once

#include <QObject>

#include <memory>

namespace vrxctl {

// While it lives, Ctrl+C (SIGINT on Linux; Ctrl+C and Ctrl+Break in a Windows console) does not end the
// program but reaches the event loop as interrupted(), so that long work can stop cleanly and still
// report. The usual reaction comes back when it is destroyed. One at a time.
class InterruptWatch : public QObject {
    Q_OBJECT

public:
    InterruptWatch();
    ~InterruptWatch() override;

signals:
    void interrupted(int count); // 1 the first time, 2 the second ...

private:
    // One per system (InterruptWatchLinux.cpp, InterruptWatchWindows.cpp): it calls take() on this
    // object's thread once for every interrupt.
    struct System;
    void take() { emit interrupted(++m_count); }

    std::unique_ptr<System> m_system;
    int m_count = 0;
};

} // namespace vrxctl
