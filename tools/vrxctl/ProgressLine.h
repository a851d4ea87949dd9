#pragma once

#include "Console.h"

#include <QElapsedTimer>
#include <QString>

namespace vrxctl {

// One status line on stderr, redrawn in place, for work that lasts: drawn only on a terminal and only
// once the work has gone on for a moment, so that short runs and pipes see nothing of it.
class ProgressLine {
public:
    explicit ProgressLine(Console &console, int showAfterMs = 1000);

    void disable() { m_enabled = false; }
    void show(const QString &text);
    // Leaves the last line drawn standing and moves to the next line.
    void finish();

private:
    Console &m_console;
    bool m_enabled;
    int m_showAfterMs;
    QElapsedTimer m_clock;
    qsizetype m_drawn = -1; // length of the line on screen; -1 before the first
};

// "0:09", "12:34", "1:02:03": the time left, rounded up to whole seconds.
QString DurationText(qint64 ms);

// "1234 of 4094 addresses (30%), 3 readers found, about 0:09 left".
QString ScanProgressText(qint64 done, qint64 total, int found, qint64 msLeft);

} // namespace vrxctl
