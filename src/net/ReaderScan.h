#pragma once

#include "link/SocketErrors.h"
#include "net/FoundReader.h"
#include "net/LinkObserver.h"
#include "net/NeighbourTable.h"
#include "net/ScanPacing.h"
#include "net/ScanPacingReport.h"
#include "net/ScanTargets.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <queue>
#include <vector>

namespace vrx {

class SSock;

struct ScanOptions {
    QString local; // the computer's address for every target; empty: each route's own address
    int localPort = 1000;
    int timeoutMs = 200;   // the reply wait, counted once a query has left (after its ARP)
    int retries = 0;       // how often an unanswered address is asked again
    int ratePerSecond = 0; // the most queries per second; 0: as fast as the kernel admits them
};

// Asks every address of a scan for its settings and collects the readers that answer, without blocking
// the thread: start() returns at once and the work goes on in the thread's event loop.
//
// Each query goes out from the computer's address that the route to its target uses, one socket per such
// address (each card's own address for its own targets), on the same local port. Queries that make the
// kernel resolve a neighbour by ARP are paced by what its neighbour table admits (see ScanPacing.h), and
// each waits until its ARP has had every chance plus the reply wait; the rest go as fast as the rate
// allows. A full send buffer or a datagram the kernel dropped is waited out and sent again, never taken
// for an empty address.
class ReaderScan : public QObject {
    Q_OBJECT

public:
    explicit ReaderScan(QObject *parent = nullptr);
    ~ReaderScan() override;

    // Sees every datagram sent and received (vrxctl's --trace). Not owned; set before start().
    void setObserver(LinkObserver *observer) { m_observer = observer; }

    // Starts scanning and returns at once; ignored while a scan runs. An address that no card and no route
    // reaches makes the scan fail before anything is sent (failed() names it, then finished()); check with
    // RouteScanTargets() first to say it in other words.
    void start(const QList<quint32> &addresses, const ScanOptions &options);
    void start(const ScanTargets &targets, const ScanOptions &options);
    // Ends early and keeps what was found: nothing more is sent, the replies already due are waited
    // for, then finished() follows. A second stop() ends at once.
    void stop();

    bool isRunning() const { return m_running; }
    bool isStopping() const { return m_stopping; }
    // The readers found so far; once finished, in address order with shared MACs marked.
    const QList<FoundReader> &found() const { return m_found; }
    qint64 total() const { return m_total; }
    qint64 done() const { return m_done; }
    // Queries that left this computer; 0 when the scan failed before the first.
    qint64 sent() const { return m_sent; }

    // The wait between two progress() signals.
    static constexpr int ProgressIntervalMs = 200;

signals:
    void readerFound(const vrx::FoundReader &reader);
    // done of total addresses have their answer or their wait is over; msLeft is a forecast.
    void progress(qint64 done, qint64 total, int found, qint64 msLeft);
    // The scan cannot go on (a socket could not be bound, a send failed); finished() follows.
    void failed(const vrx::SocketError &error);
    void finished();

private:
    enum class QueryState : quint8 { Waiting, InFlight, Answered, Over };
    struct Query {
        qint64 sentAt = 0;
        qint64 deadline = 0;
        int attempts = 0;
        QueryState state = QueryState::Waiting;
        bool resolving = false;   // its send makes the kernel resolve a new neighbour by ARP
        quint8 interruptions = 0; // sends in a row that met an error an ICMP message left
    };
    struct Group;
    struct Gateway {
        bool ready = false;
        qint64 warmingSince = -1; // the first query through it went out: waiting for its ARP
        int card = 0;
    };

    void prepare(const ScanOptions &options);
    bool bindGroups();
    void step();
    void expire(qint64 now);
    void followTheTable(qint64 now);
    void sendWhatMayGo(qint64 now);
    // Sends one query; false when sending must pause (back-pressure) or the scan failed.
    bool send(int index, qint64 now);
    void measureSendBuffer(Group &group, int queuedBefore);
    bool gatewayReady(int index, qint64 now);
    void onDatagram(int group, const QByteArray &datagram, const QString &sender);
    void schedule(qint64 now);
    void reportProgress(qint64 now, bool force);
    qint64 forecastMsLeft(qint64 now) const;
    void fail(const SocketError &error);
    void finish();

    ScanOptions m_options;
    LinkObserver *m_observer = nullptr;
    ScanTargets m_targets;
    std::vector<Query> m_queries; // parallel to m_targets.targets
    std::vector<std::unique_ptr<Group>> m_groups;
    std::vector<CardArp> m_cardArp; // parallel to m_targets.cards
    QHash<quint32, Gateway> m_gateways;
    std::deque<int> m_resolving; // queries to send that need ARP
    std::deque<int> m_other;     // the rest
    using TimedQueue =
        std::priority_queue<std::pair<qint64, int>, std::vector<std::pair<qint64, int>>, std::greater<>>;
    TimedQueue m_deadlines;  // queries in flight by the end of their wait
    TimedQueue m_retryLater; // unanswered queries that need ARP, by when the kernel has given it up
    std::unique_ptr<SendPacer> m_pacer;
    std::unique_ptr<NeighbourTable> m_neighbours; // made by start(): the namespace the scan runs in answers
    QList<FoundReader> m_found;
    ScanPacingReport m_report;
    QTimer m_wake;
    qint64 m_total = 0;
    qint64 m_done = 0;
    qint64 m_sent = 0;
    int m_inFlight = 0;
    qint64 m_lastDeadline = 0;
    qint64 m_nextProgress = 0;
    qint64 m_nextTableRead = 0;
    qint64 m_busyUntil = 0; // a send buffer was full: wait for room, or until then
    bool m_running = false;
    bool m_stopping = false;
};

} // namespace vrx
