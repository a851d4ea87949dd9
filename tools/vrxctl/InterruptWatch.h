#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

namespace vrxctl {

// While it lives, Ctrl+C (SIGINT) does not end the program but reaches the event loop as interrupted(),
// so that long work can stop cleanly and still report. The usual reaction comes back when it is
// destroyed. One at a time.
class InterruptWatch : public QObject {
    Q_OBJECT

public:
    InterruptWatch();
    ~InterruptWatch() override;

signals:
    void interrupted(int count); // 1 the first time, 2 the second ...

private:
    void take();

    int m_pipe[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_previous {};
    int m_count = 0;
};

} // namespace vrxctl
