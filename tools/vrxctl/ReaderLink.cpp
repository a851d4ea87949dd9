#include "ReaderLink.h"

#include "config/ParameterBlock.h"
#include "link/ReplyWait.h"

#include <QEventLoop>
#include <QHash>
#include <QTimer>

#include <limits>

namespace vrxctl {

namespace {

constexpr int ReaderPort = 1001;

vrx::ExchangeState FreshState(const QString &target, const QString &localIp, bool readMode) {
    vrx::ExchangeState state;
    state.ReaderAddress = target;
    state.LocalIp = localIp;
    state.ReadMode = readMode;
    state.ExchangeStatus = vrx::Status::None;
    return state;
}

// The positions of the exchanges still waiting for a reply.
std::vector<size_t> Unfinished(const std::vector<Exchange> &exchanges) {
    std::vector<size_t> pending;
    for (size_t i = 0; i < exchanges.size(); ++i)
        if (!exchanges[i].done())
            pending.push_back(i);
    return pending;
}

} // namespace

Exchange ReadExchange(const QString &target, const QString &localIp) {
    return {target, vrx::ParameterQuery(), FreshState(target, localIp, true)};
}

Exchange WriteExchange(const QString &target, const QByteArray &block, const QString &localIp) {
    Exchange exchange{target, block, FreshState(target, localIp, false)};
    exchange.state.SendBuffer = block;
    return exchange;
}

Exchange KeyExchange(const QString &target, const QByteArray &keyFrame, const QString &localIp) {
    Exchange exchange{target, keyFrame, FreshState(target, localIp, false)};
    exchange.state.KeyFrame = keyFrame;
    exchange.state.KeyEchoMatched = false;
    return exchange;
}

std::optional<vrx::ReaderSettings> ReportedSettings(const Exchange &exchange) {
    if (exchange.state.ExchangeStatus != vrx::Status::ParametersRead)
        return std::nullopt;
    return vrx::ParameterBlock::decode(exchange.state.ReceiveBuffer);
}

ReaderLink::ReaderLink(LinkOptions options, Trace *trace)
    : m_options(std::move(options))
    , m_trace(trace) {}

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
    if (m_socket.State() != vrx::SSock::Closed)
        m_socket.Close();
    m_socket.Bind(m_options.localPort, m_options.local);
    m_socket.setRemotePort(ReaderPort);

    QHash<QString, size_t> bySender;
    for (size_t i : pending) {
        exchanges[i].state.ExchangeStatus = vrx::Status::None;
        bySender.insert(exchanges[i].target, i);
    }
    std::vector<qint64> sentAt(exchanges.size(), -1);   // the first send: the wait counts from here
    std::vector<qint64> resendAt(exchanges.size(), -1); // the next repeat, when repeating
    std::vector<int> resendGap(exchanges.size(), FirstResendGapMs);
    const bool single = pending.size() == 1;
    size_t finished = 0;
    const qint64 timeout = waitMs;

    const auto arrival = QObject::connect(
        &m_socket, &vrx::SSock::DataArrival, [&](const QByteArray &datagram, const QString &sender) {
            if (m_trace)
                m_trace->received(sender, ReaderPort, datagram);
            const auto found = bySender.constFind(sender);
            const size_t index =
                found != bySender.constEnd() ? *found : (single ? pending.front() : exchanges.size());
            if (index >= exchanges.size())
                return;
            Exchange &exchange = exchanges[index];
            // A reply counts only inside its own wait: after the send, within the timeout.
            if (exchange.done() || sentAt[index] < 0 || vrx::TickCount() - sentAt[index] > timeout)
                return;
            exchange.state = vrx::ClassifyDatagram(datagram, sender, exchange.state);
            if (exchange.done())
                ++finished;
        });
    const auto failure = QObject::connect(&m_socket, &vrx::SSock::Error, [&](const vrx::SocketError &error) {
        if (m_trace)
            m_trace->note(QStringLiteral("receive error %1: %2").arg(error.number).arg(error.description));
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
        if (m_trace) {
            m_trace->setKeysInFlight(exchange.frame.size() >= 200);
            m_trace->sent(exchange.target, ReaderPort, exchange.frame);
        }
        const qint64 now = vrx::TickCount();
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
    qint64 nextBurstAt = vrx::TickCount();
    qint64 lastSent = nextBurstAt;
    for (;;) {
        qint64 now = vrx::TickCount();
        if (next < pending.size() && now >= nextBurstAt) {
            for (int burst = 0; burst < BurstSize && next < pending.size(); ++burst, ++next)
                lastSent = send(pending[next]);
            now = vrx::TickCount();
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

} // namespace vrxctl
