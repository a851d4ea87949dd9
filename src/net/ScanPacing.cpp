#include "net/ScanPacing.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vrx {

int NeighbourWindow(int limit, int inUse) {
    const int keptFree = limit / 16;
    return std::max(1, limit - inUse - keptFree);
}

qint64 UnresolvedLifetimeMs(const CardArp &arp) {
    return qint64(arp.solicits) * arp.retransMs;
}

qint64 OnLinkWaitMs(const CardArp &arp, int timeoutMs, qint64 latenessMs) {
    const qint64 lastRequest = qint64(arp.solicits - 1) * arp.retransMs;
    const qint64 late = std::max(latenessMs * (arp.solicits - 1) / arp.solicits, lastRequest / 32);
    return lastRequest + late + timeoutMs;
}

SendPacer::SendPacer(int window, int ratePerSecond)
    : m_tableWindow(std::max(1, window))
    , m_msPerQuery(ratePerSecond > 0 ? 1000.0 / ratePerSecond : 0) {}

void SendPacer::dropExpired(qint64 now) {
    while (!m_entries.empty() && m_entries.top() + m_lateness <= now)
        m_entries.pop();
}

qint64 SendPacer::earliest(bool resolving, qint64 now) {
    qint64 at = now;
    if (m_inBurst >= BurstSize)
        at = std::max(at, m_burstStart + BurstPauseMs);
    if (m_msPerQuery > 0)
        at = std::max(at, qint64(std::ceil(m_rateNext)));
    if (resolving) {
        at = std::max(at, m_refusedUntil);
        dropExpired(now);
        // Entries answered and kept are never given back; the rest free up oldest first.
        const int window = this->window();
        if (unresolved() >= window) {
            if (int(m_entries.size()) <= unresolved() - window)
                return std::numeric_limits<qint64>::max(); // kept entries fill the window
            qint64 frees = m_entries.top();
            if (const int over = unresolved() - window; over > 0) { // the window shrank: rare
                auto waiting = m_entries;
                for (int i = 0; i < over; ++i)
                    waiting.pop();
                frees = waiting.top();
            }
            at = std::max(at, frees + m_lateness);
        }
    }
    return at;
}

void SendPacer::sent(bool resolving, qint64 now, qint64 lifetimeMs) {
    if (m_burstStart < 0 || now >= m_burstStart + BurstPauseMs) {
        m_burstStart = now;
        m_inBurst = 0;
    }
    ++m_inBurst;
    if (m_msPerQuery > 0)
        m_rateNext = std::max(m_rateNext, double(now)) + m_msPerQuery;
    if (resolving)
        m_entries.push(now + lifetimeMs);
}

void SendPacer::tableFull(qint64 now, qint64 lifetimeMs) {
    m_refusedUntil = now + TableFullRetryMs;
    m_lateness = std::min(m_lateness + TableFullRetryMs, lifetimeMs / 16);
}

ScanForecast Forecast(SendPacer pacer, qint64 now, qint64 resolving, qint64 other, qint64 lifetimeMs,
                      qint64 resolvingWaitMs, qint64 otherWaitMs) {
    ScanForecast forecast;
    qint64 t = now;
    qint64 end = now;
    while (resolving > 0 || other > 0) {
        const qint64 resolvingAt =
            resolving > 0 ? pacer.earliest(true, t) : std::numeric_limits<qint64>::max();
        const qint64 otherAt = other > 0 ? pacer.earliest(false, t) : std::numeric_limits<qint64>::max();
        const bool takeResolving = resolvingAt <= otherAt;
        t = takeResolving ? resolvingAt : otherAt;
        if (t == std::numeric_limits<qint64>::max())
            break;
        pacer.sent(takeResolving, t, lifetimeMs);
        end = std::max(end, t + (takeResolving ? resolvingWaitMs : otherWaitMs));
        --(takeResolving ? resolving : other);
    }
    forecast.lastSendMs = t - now;
    forecast.endMs = end - now;
    return forecast;
}

} // namespace vrx
