#include "ProgressLine.h"

namespace vrxctl {

ProgressLine::ProgressLine(Console &console, int showAfterMs)
    : m_console(console)
    , m_enabled(console.errIsTerminal)
    , m_showAfterMs(showAfterMs) {
    m_clock.start();
}

void ProgressLine::show(const QString &text) {
    if (!m_enabled || (m_drawn < 0 && m_clock.elapsed() < m_showAfterMs))
        return;
    // Blanks cover what a longer line before left on screen.
    const qsizetype blanks = std::max<qsizetype>(0, m_drawn - text.size());
    m_console.err << '\r' << text << QString(blanks, u' ');
    if (blanks)
        m_console.err << QString(blanks, u'\b');
    m_console.err.flush();
    m_drawn = text.size();
}

void ProgressLine::finish() {
    if (m_drawn < 0)
        return;
    m_console.err << '\n';
    m_console.err.flush();
    m_drawn = -1;
}

QString DurationText(qint64 ms) {
    const qint64 seconds = (std::max<qint64>(0, ms) + 999) / 1000;
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString ScanProgressText(qint64 done, qint64 total, int found, qint64 msLeft) {
    const int percent = total > 0 ? int(done * 100 / total) : 100;
    return QStringLiteral("%1 of %2 addresses (%3%), %4 %5 found, about %6 left")
        .arg(done)
        .arg(total)
        .arg(percent)
        .arg(found)
        .arg(found == 1 ? QStringLiteral("reader") : QStringLiteral("readers"))
        .arg(DurationText(msLeft));
}

} // namespace vrxctl
