#include "net/ReaderScan.h"

#include "config/ParameterBlock.h"
#include "link/QtSocketErrors.h"
#include "link/ReplyWait.h"
#include "link/SSock.h"
#include "net/AddressRange.h"
#include "net/FoundReaders.h"
#include "net/NeighbourTable.h"
#include "net/ReaderExchange.h"

#include <algorithm>
#include <limits>

namespace vrx {

namespace {

constexpr qint64 Never = std::numeric_limits<qint64>::max();
// How long a full send buffer is waited on when no writability report comes.
constexpr int BusyWaitMs = 20;
// How often a gateway whose ARP is under way is looked at.
constexpr int GatewayPollMs = 2;
// How often one send may meet an error left by an ICMP message before the error is taken as real.
constexpr int MostInterruptions = 250;
// How often the neighbour table is read again while queries that need ARP wait.
constexpr int TableReadIntervalMs = 500;

} // namespace

// One socket: the computer's address that a group of targets is queried from.
struct ReaderScan::Group {
    SSock socket;
    QString local;
    int bytesPerQuery = 0; // what a query waiting for ARP costs the send buffer; 0 until measured
};

ReaderScan::ReaderScan(QObject *parent)
    : QObject(parent) {
    m_wake.setSingleShot(true);
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_wake, &QTimer::timeout, this, &ReaderScan::step);
}

ReaderScan::~ReaderScan() = default;

void ReaderScan::start(const QList<quint32> &addresses, const ScanOptions &options) {
    if (m_running)
        return;
    ScanTargets targets = RouteScanTargets(addresses, options.local);
    if (!targets.ok()) {
        m_running = true;
        m_total = addresses.size();
        SocketError error =
            SocketError::Of(SocketErrorNumber::NetworkUnreachable, SocketFault::NoRoute,
                            {SocketErrorContext::Sending, AddressText(targets.unreachable.front()), 0});
        error.moreAddresses = int(targets.unreachable.size()) - 1;
        error.cards = LocalCards();
        fail(std::move(error));
        return;
    }
    start(targets, options);
}

void ReaderScan::start(const ScanTargets &targets, const ScanOptions &options) {
    if (m_running)
        return;
    m_targets = targets;
    prepare(options);
    if (!bindGroups())
        return;
    QTimer::singleShot(0, this, &ReaderScan::step);
}

void ReaderScan::prepare(const ScanOptions &options) {
    m_options = options;
    m_running = true;
    m_stopping = false;
    m_found.clear();
    m_report = {};
    m_queries.assign(m_targets.targets.size(), Query{});
    m_resolving.clear();
    m_other.clear();
    m_deadlines = {};
    m_retryLater = {};
    m_gateways.clear();
    m_total = qint64(m_targets.targets.size()) + m_targets.broadcasts.size();
    m_done = m_targets.broadcasts.size();
    m_sent = 0;
    m_inFlight = 0;
    m_lastDeadline = 0;
    m_nextProgress = TickCount() + ProgressIntervalMs;
    m_busyUntil = 0;

    m_cardArp.clear();
    for (const QString &card : m_targets.cards)
        m_cardArp.push_back(ReadCardArp(card));
    const auto needsArp = [&](const ScanTarget &target) {
        return target.kind != TargetRoute::Local && m_cardArp[size_t(target.card)].arp;
    };
    const bool anyArp = std::any_of(m_targets.targets.begin(), m_targets.targets.end(), needsArp);
    m_neighbours = std::make_unique<NeighbourTable>();
    const NeighbourTableUse table = anyArp ? m_neighbours->read() : NeighbourTableUse{};
    m_report.arp = anyArp;
    m_report.tableRead = table.read;
    m_report.tableLimit = table.limit;
    m_report.tableInUse = table.inUse();
    m_report.window = NeighbourWindow(table.limit, table.inUse());
    for (const CardArp &arp : m_cardArp) {
        m_report.lifetimeMs = std::max(m_report.lifetimeMs, UnresolvedLifetimeMs(arp));
        m_report.onLinkWaitMs = std::max(m_report.onLinkWaitMs, OnLinkWaitMs(arp, options.timeoutMs));
    }
    m_pacer = std::make_unique<SendPacer>(m_report.window, options.ratePerSecond);
    m_nextTableRead = TickCount() + TableReadIntervalMs;

    for (size_t i = 0; i < m_targets.targets.size(); ++i) {
        const ScanTarget &target = m_targets.targets[i];
        const bool arp = needsArp(target);
        Query &query = m_queries[i];
        query.resolving =
            arp && target.kind == TargetRoute::OnLink && !table.knownHere.contains(target.address);
        if (arp && target.kind == TargetRoute::ViaGateway && !m_gateways.contains(target.gateway))
            m_gateways.insert(target.gateway, {table.knownHere.contains(target.gateway), -1, target.card});
        (query.resolving ? m_resolving : m_other).push_back(int(i));
    }
    if (m_observer && anyArp)
        m_observer->pacingPlanned(m_report);
}

bool ReaderScan::bindGroups() {
    m_groups.clear();
    for (int i = 0; i < m_targets.groups.size(); ++i) {
        auto group = std::make_unique<Group>();
        group->local = m_targets.groups[i].local;
        try {
            group->socket.Bind(m_options.localPort, group->local);
        } catch (const SocketException &failure) {
            m_groups.clear();
            fail(failure.error());
            return false;
        }
        connect(&group->socket, &SSock::DataArrival, this,
                [this, i](const QByteArray &datagram, const QString &sender) {
                    onDatagram(i, datagram, sender);
                });
        connect(&group->socket, &SSock::Error, this, [this](const SocketError &error) {
            // The kernel's word that nobody listens at an address, or that nobody answered its ARP, is
            // what a scan meets at most of its addresses: nothing to note.
            const bool expected = error.number == SocketErrorNumber::ConnectionReset ||
                                  error.number == SocketErrorNumber::NetworkUnreachable;
            if (m_observer && !expected)
                m_observer->receiveFailed(error);
        });
        connect(&group->socket, &SSock::ReadyToSend, this, [this] {
            m_busyUntil = 0;
            step();
        });
        m_report.sendBufferBytes = std::max(m_report.sendBufferBytes, group->socket.SendBufferSize());
        m_groups.push_back(std::move(group));
    }
    return true;
}

void ReaderScan::stop() {
    if (!m_running)
        return;
    if (m_stopping) { // the second time: at once
        finish();
        return;
    }
    m_stopping = true;
    m_resolving.clear();
    m_other.clear();
    m_retryLater = {};
    m_wake.start(0);
}

void ReaderScan::step() {
    if (!m_running)
        return;
    const qint64 now = TickCount();
    expire(now);
    if (!m_stopping) {
        followTheTable(now);
        sendWhatMayGo(now);
    }
    if (!m_running)
        return; // failed while sending
    const bool nothingToSend = m_resolving.empty() && m_other.empty() && m_retryLater.empty();
    if (nothingToSend && m_inFlight == 0) {
        finish();
        return;
    }
    reportProgress(now, false);
    schedule(now);
}

void ReaderScan::expire(qint64 now) {
    while (!m_deadlines.empty() && m_deadlines.top().first < now) {
        const auto [deadline, index] = m_deadlines.top();
        m_deadlines.pop();
        Query &query = m_queries[size_t(index)];
        if (query.state != QueryState::InFlight || query.deadline != deadline)
            continue;
        --m_inFlight;
        if (!m_stopping && query.attempts <= m_options.retries) {
            query.state = QueryState::Waiting;
            if (query.resolving) {
                // Asked again only once the kernel has given its ARP up: until then the new query would
                // only join the old one, waiting for the same unanswered ARP.
                const ScanTarget &target = m_targets.targets[size_t(index)];
                const qint64 givenUp =
                    query.sentAt + UnresolvedLifetimeMs(m_cardArp[size_t(target.card)]) + m_pacer->lateness();
                m_retryLater.push({givenUp, index});
            } else {
                m_other.push_back(index);
            }
        } else {
            query.state = QueryState::Over;
            ++m_done;
        }
    }
    while (!m_retryLater.empty() && m_retryLater.top().first <= now) {
        m_resolving.push_back(m_retryLater.top().second);
        m_retryLater.pop();
    }
}

bool ReaderScan::gatewayReady(int index, qint64 now) {
    const ScanTarget &target = m_targets.targets[size_t(index)];
    if (target.kind != TargetRoute::ViaGateway)
        return true;
    const auto found = m_gateways.find(target.gateway);
    if (found == m_gateways.end() || found->ready)
        return true;
    Gateway &gateway = *found;
    if (gateway.warmingSince < 0)
        return true; // the first query through it goes out and starts its ARP
    // The rest wait until its ARP is settled, so that they do not overflow the few datagrams the
    // kernel keeps for an unresolved neighbour (unres_qlen_bytes).
    const qint64 lifetime = UnresolvedLifetimeMs(m_cardArp[size_t(gateway.card)]);
    if (m_neighbours->settled(target.gateway, m_targets.cards[gateway.card]) ||
        now - gateway.warmingSince > lifetime)
        gateway.ready = true;
    return gateway.ready;
}

// The entries other programs and namespaces hold come and go (a scan just before this one leaves its
// last unanswered ARPs for a few seconds): the table is read again now and then, and the window follows
// its room. The ARPs under way in this namespace are taken for this scan's own, as the kernel counts them.
void ReaderScan::followTheTable(qint64 now) {
    if (m_resolving.empty() || now < m_nextTableRead)
        return;
    m_nextTableRead = now + TableReadIntervalMs;
    const NeighbourTableUse table = m_neighbours->read();
    if (!table.read)
        return;
    const int others = std::max(0, table.inUse() - table.unresolvedHere);
    m_pacer->setTableWindow(NeighbourWindow(table.limit, others));
    m_report.window = m_pacer->window();
}

void ReaderScan::sendWhatMayGo(qint64 now) {
    while (now >= m_busyUntil) {
        int index = -1;
        if (!m_resolving.empty() && m_pacer->earliest(true, now) <= now)
            index = m_resolving.front();
        else if (!m_other.empty() && m_pacer->earliest(false, now) <= now &&
                 gatewayReady(m_other.front(), now))
            index = m_other.front();
        if (index < 0 || !send(index, now))
            return;
        (m_queries[size_t(index)].resolving ? m_resolving : m_other).pop_front();
    }
}

bool ReaderScan::send(int index, qint64 now) {
    const ScanTarget &target = m_targets.targets[size_t(index)];
    Query &query = m_queries[size_t(index)];
    Group &group = *m_groups[size_t(target.group)];
    static const QByteArray frame = ParameterQuery();
    const bool measure = query.resolving && group.bytesPerQuery == 0;
    const int queuedBefore = measure ? group.socket.SendQueueBytes() : 0;

    SocketError error;
    const auto outcome = group.socket.TrySendData(frame, target.address, ReaderPort, &error);
    switch (outcome) {
    case SSock::SendOutcome::Sent:
        ++m_sent;
        break;
    case SSock::SendOutcome::Busy:
        // The buffer is full of datagrams waiting for ARP or for the card: the send waits for room.
        ++m_report.bufferWaits;
        group.socket.NotifyWhenWritable();
        m_busyUntil = now + BusyWaitMs;
        return false;
    case SSock::SendOutcome::Dropped:
        ++m_report.tableRefusals;
        if (query.resolving)
            m_pacer->tableFull(now, UnresolvedLifetimeMs(m_cardArp[size_t(target.card)]));
        else
            m_busyUntil = now + TableFullRetryMs; // the card's queue was full
        m_report.latenessMs = m_pacer->lateness();
        return false;
    case SSock::SendOutcome::Interrupted:
        // ICMP messages pour in when a batch of ARPs is given up: tried again at the next millisecond.
        // A route that went away meanwhile gives the same error every time.
        ++m_report.interruptions;
        if (++query.interruptions < MostInterruptions) {
            m_busyUntil = now + 1;
            return false;
        }
        fail(error);
        return false;
    case SSock::SendOutcome::Failed:
        fail(error);
        return false;
    }
    query.interruptions = 0;
    if (m_observer)
        m_observer->sent(AddressText(target.address), ReaderPort, frame);
    if (measure)
        measureSendBuffer(group, queuedBefore);

    const CardArp &arp = m_cardArp[size_t(target.card)];
    m_pacer->sent(query.resolving, now, UnresolvedLifetimeMs(arp));
    // Only a gateway prepare() found needing ARP is waited on: one behind a card without ARP is not
    // in m_gateways, and its targets wait no longer than the rest.
    const auto gateway =
        target.kind == TargetRoute::ViaGateway ? m_gateways.find(target.gateway) : m_gateways.end();
    const bool gatewayWarming = gateway != m_gateways.end() && !gateway->ready;
    if (gatewayWarming && gateway->warmingSince < 0)
        gateway->warmingSince = now;
    const bool viaArp = query.resolving || gatewayWarming;
    query.sentAt = now;
    query.deadline =
        now + (viaArp ? OnLinkWaitMs(arp, m_options.timeoutMs, m_pacer->lateness()) : m_options.timeoutMs);
    query.state = QueryState::InFlight;
    ++query.attempts;
    ++m_inFlight;
    m_lastDeadline = std::max(m_lastDeadline, query.deadline);
    m_deadlines.push({query.deadline, index});
    return true;
}

// What a query waiting for ARP costs the send buffer is measured on the first one. The buffer is then
// made large enough for as many as the neighbour table could ever hold at once (beyond the system's
// default where the process may), so that it is never what stops a send; when it cannot be, the window
// shrinks to what it holds.
void ReaderScan::measureSendBuffer(Group &group, int queuedBefore) {
    const int cost = group.socket.SendQueueBytes() - queuedBefore;
    if (cost <= 0)
        return; // it left at once (its MAC was known after all): measure on the next
    group.bytesPerQuery = cost;
    m_report.bytesPerQuery = cost;
    const qint64 wanted = qint64(m_report.tableLimit + 2 * BurstSize) * cost;
    if (group.socket.SendBufferSize() < wanted)
        group.socket.SetSendBufferSize(
            int(std::min<qint64>(wanted / 2 + 1, std::numeric_limits<int>::max())));
    const int granted = group.socket.SendBufferSize();
    m_report.sendBufferBytes = std::max(m_report.sendBufferBytes, granted);
    m_pacer->limitWindow(granted / cost - 2 * BurstSize);
    m_report.window = m_pacer->window();
}

void ReaderScan::onDatagram(int groupIndex, const QByteArray &datagram, const QString &sender) {
    if (m_observer)
        m_observer->received(sender, ReaderPort, datagram);
    const auto address = StrictAddress(sender);
    if (!address || !m_running)
        return;
    const auto &targets = m_targets.targets;
    const auto at = std::lower_bound(targets.begin(), targets.end(), *address,
                                     [](const ScanTarget &t, quint32 a) { return t.address < a; });
    if (at == targets.end() || at->address != *address)
        return;
    const int index = int(at - targets.begin());
    Query &query = m_queries[size_t(index)];
    // A reply counts only within its query's wait.
    if (query.state != QueryState::InFlight || TickCount() > query.deadline)
        return;
    const Group &group = *m_groups[size_t(groupIndex)];
    const auto settings = ReportedSettings(datagram, sender, group.local);
    if (!settings)
        return;
    query.state = QueryState::Answered;
    --m_inFlight;
    ++m_done;
    if (query.resolving)
        m_pacer->keepEntry();

    FoundReader reader;
    reader.address = sender;
    reader.settings = *settings;
    reader.card = m_targets.cards.value(at->card);
    reader.cardAddress = group.local;
    m_found.append(reader);
    emit readerFound(reader);
    if (m_inFlight == 0 && m_resolving.empty() && m_other.empty() && m_retryLater.empty())
        m_wake.start(0);
}

void ReaderScan::schedule(qint64 now) {
    qint64 wake = Never;
    if (!m_stopping) {
        const qint64 sendable = std::max(now, m_busyUntil);
        if (!m_resolving.empty())
            wake = std::min(wake, std::max(sendable, m_pacer->earliest(true, now)));
        if (!m_other.empty()) {
            const qint64 other = std::max(sendable, m_pacer->earliest(false, now));
            const bool waitsOnGateway = !gatewayReady(m_other.front(), now);
            wake = std::min(wake, waitsOnGateway ? std::max(other, now + GatewayPollMs) : other);
        }
    }
    if (!m_deadlines.empty())
        wake = std::min(wake, m_deadlines.top().first + 1);
    if (!m_retryLater.empty())
        wake = std::min(wake, m_retryLater.top().first);
    if (!m_stopping && !m_resolving.empty())
        wake = std::min(wake, m_nextTableRead);
    wake = std::min(wake, m_nextProgress);
    m_wake.start(int(std::clamp<qint64>(wake - now, 0, std::numeric_limits<int>::max())));
}

qint64 ReaderScan::forecastMsLeft(qint64 now) const {
    const qint64 inFlight = std::max<qint64>(0, m_lastDeadline - now);
    if (m_stopping)
        return inFlight;
    const qint64 resolving = qint64(m_resolving.size() + m_retryLater.size());
    const ScanForecast rest = Forecast(*m_pacer, now, resolving, qint64(m_other.size()), m_report.lifetimeMs,
                                       m_report.onLinkWaitMs, m_options.timeoutMs);
    return std::max(inFlight, rest.endMs);
}

void ReaderScan::reportProgress(qint64 now, bool force) {
    if (!force && now < m_nextProgress)
        return;
    m_nextProgress = now + ProgressIntervalMs;
    emit progress(m_done, m_total, int(m_found.size()), force ? 0 : forecastMsLeft(now));
}

// Nothing more is sent; failed() and finished() follow from the event loop, so that a failure found
// while starting reaches the caller after start() has returned.
void ReaderScan::fail(const SocketError &error) {
    m_resolving.clear();
    m_other.clear();
    m_retryLater = {};
    m_stopping = true;
    m_wake.stop();
    QTimer::singleShot(0, this, [this, error] {
        emit failed(error);
        finish();
    });
}

void ReaderScan::finish() {
    if (!m_running)
        return;
    m_running = false;
    m_wake.stop();
    m_groups.clear();
    SortFoundReaders(m_found);
    MarkSharedMacs(m_found);
    if (m_pacer) {
        m_report.latenessMs = m_pacer->lateness();
        m_report.window = m_pacer->window();
    }
    if (m_observer && m_report.arp)
        m_observer->pacingMet(m_report);
    emit progress(m_done, m_total, int(m_found.size()), 0);
    emit finished();
}

} // namespace vrx
