#pragma once

#include <QObject>

#include <memory>

namespace vrxctl {

// What asked the program to stop.
enum class InterruptKind {
    Interrupt, // Ctrl+C (SIGINT on Linux; Ctrl+C and Ctrl+Break in a Windows console)
    Terminate, // SIGTERM: a service manager or `kill` asking the program to end
};

// While it lives, an interrupt or a request to terminate does not end the program but reaches the
// event loop as interrupted(), so that long work can stop cleanly and still report. The usual reaction
// comes back when it is destroyed. One at a time.
class InterruptWatch : public QObject {
    Q_OBJECT

public:
    InterruptWatch();
    ~InterruptWatch() override;

    bool taken() const { return m_count > 0; }
    // What the shell reports for a program ended by the first one: 130 for Ctrl+C (128 + SIGINT),
    // 143 for SIGTERM (128 + SIGTERM).
    int exitCode() const { return m_kind == InterruptKind::Terminate ? 143 : 130; }

signals:
    void interrupted(int count); // 1 the first time, 2 the second ...

private:
    // One per system (InterruptWatchLinux.cpp, InterruptWatchWindows.cpp): it calls take() on this
    // object's thread once for every interrupt.
    struct System;
    void take(InterruptKind kind = InterruptKind::Interrupt) {
        if (m_count == 0)
            m_kind = kind;
        emit interrupted(++m_count);
    }

    std::unique_ptr<System> m_system;
    int m_count = 0;
    InterruptKind m_kind = InterruptKind::Interrupt;
};

} // namespace vrxctl
