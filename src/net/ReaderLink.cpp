#include "net/ReaderLink.h"

#include "link/ReplyWait.h"
#include "net/ScanPacing.h"

#include <QEventLoop>
#include <QHash>
#include <QTimer>

#include <limits>

namespace vrx {

namespace {

// The positions of the exchanges still waiting for a reply.
std::vector<size_t> Unfinished(const std::vector<Exchange> &exchanges) {
    std::vector<size_t> pending;
    for (size_t i = 0; i < exchanges.size(); ++i)
        if (!exchanges[i].done())
            pending.push_back(i);
    return pending;
}

} // namespace

ReaderLink::ReaderLink(LinkOptions options, LinkObserver *observer)
    : m_options(std::move(options))
    , m_observer(observer) {}

void ReaderLink::run(std::vector<Exchange> &exchanges, int retries) {
    if (retries < 0)
        retries = m_options.retries;
    for (int round = 0; round <= retries; ++round) {
        const std::vector<size_t> pending = Unfinished(exchanges);
        if (pending.empty())
            return;
        runRound(exchanges, pending, m_options.timeoutMs, false);
    }
}

void ReaderLink::poll(std::vector<Exchange> &exchanges, int windowMs) {
    if (const std::vector<size_t> pending = Unfinished(exchanges); !pending.empty())
        runRound(exchanges, pending, windowMs, true);
}

void ReaderLink::runRound(std::vector<Exchange> &exchanges, const std::vector<size_t> &pending, int waitMs,
                          bool resend) {
    if (m_socket.State() != SSock::Closed)
        m_socket.Close();
    m_socket.Bind(m_options.localPort, m_options.local);
    m_socket.setRemotePort(ReaderPort);

    QHash<QString, size_t> bySender;
    for (size_t i : pending) {
        exchanges[i].state.ExchangeStatus = Status::None;
        bySender.insert(exchanges[i].target, i);
    }
    std::vector<qint64> sentAt(exchanges.size(), -1);   // the first send: the wait counts from here
    std::vector<qint64> resendAt(exchanges.size(), -1); // the next repeat, when repeating
    std::vector<int> resendGap(exchanges.size(), FirstResendGapMs);
    const bool single = pending.size() == 1;
    size_t finished = 0;
    const qint64 timeout = waitMs;

    const auto arrival = QObject::connect(
        &m_socket, &SSock::DataArrival, [&](const QByteArray &datagram, const QString &sender) {
            if (m_observer)
                m_observer->received(sender, ReaderPort, datagram);
            const auto ignore = [&](AwaitVerdict why) {
                if (m_observer)
                    m_observer->ignored(sender, why);
            };
            const auto found = bySender.constFind(sender);
            const size_t index =
                found != bySender.constEnd() ? *found : (single ? pending.front() : exchanges.size());
            if (index >= exchanges.size())
                return ignore(AwaitVerdict::WrongSender);
            Exchange &exchange = exchanges[index];
            // A reply counts only inside its own wait: after the send, within the timeout.
            if (exchange.done() || sentAt[index] < 0 || TickCount() - sentAt[index] > timeout)
                return ignore(AwaitVerdict::OutsideWait);
            const AwaitVerdict verdict =
                ClassifyAwaited(exchange.awaiting, datagram, sender, exchange.settingsReply, exchange.state);
            if (verdict != AwaitVerdict::Taken) {
                if (verdict == AwaitVerdict::WrongLength && sender == exchange.target)
                    exchange.wrongLength = int(datagram.size());
                return ignore(verdict);
            }
            ++finished;
        });
    const auto failure = QObject::connect(&m_socket, &SSock::Error, [&](const SocketError &error) {
        if (m_observer)
            m_observer->receiveFailed(error);
    });
    struct Disconnect {
        QMetaObject::Connection a, b;
        ~Disconnect() {
            QObject::disconnect(a);
            QObject::disconnect(b);
        }
    } disconnectAtEnd{arrival, failure};

    const auto send = [&](size_t index) {
        Exchange &exchange = exchanges[index];
        m_socket.setRemoteHost(exchange.target);
        if (m_observer)
            m_observer->sent(exchange.target, ReaderPort, exchange.frame);
        const qint64 now = TickCount();
        if (sentAt[index] < 0)
            sentAt[index] = now;
        if (resend) {
            resendAt[index] = now + resendGap[index];
            resendGap[index] = std::min(resendGap[index] * 2, LastResendGapMs);
        }
        ++exchange.attempts;
        m_socket.SendData(exchange.frame);
        return now;
    };

    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QEventLoop loop;
    size_t next = 0;
    qint64 nextBurstAt = TickCount();
    qint64 lastSent = nextBurstAt;
    for (;;) {
        qint64 now = TickCount();
        if (next < pending.size() && now >= nextBurstAt) {
            for (int burst = 0; burst < BurstSize && next < pending.size(); ++burst, ++next)
                lastSent = send(pending[next]);
            now = TickCount();
            nextBurstAt = now + BurstPauseMs;
        }
        const bool allSent = next >= pending.size();
        if (allSent && finished == pending.size())
            return;
        qint64 remaining = allSent ? lastSent + timeout + 1 - now : nextBurstAt - now;
        if (allSent && remaining <= 0)
            return;
        if (resend) {
            for (size_t index : pending) {
                if (exchanges[index].done() || sentAt[index] < 0)
                    continue;
                if (now >= resendAt[index]) {
                    // No repeat so close to the end of the wait that its reply could not count.
                    if (now + resendGap[index] <= sentAt[index] + timeout)
                        send(index);
                    else
                        resendAt[index] = std::numeric_limits<qint64>::max();
                }
                if (resendAt[index] != std::numeric_limits<qint64>::max())
                    remaining = std::min(remaining, resendAt[index] - now);
            }
        }
        wake.start(int(std::max<qint64>(remaining, 0)));
        // Sleeps until a datagram, the next burst or the deadline.
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
}

} // namespace vrx
