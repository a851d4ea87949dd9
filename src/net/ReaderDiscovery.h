#pragma once

#include "link/LocalCards.h"
#include "link/SocketErrors.h"
#include "net/DiscoveryCards.h"
#include "net/FoundReader.h"
#include "net/LinkObserver.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

namespace vrx {

class SSock;

struct DiscoveryOptions {
    QString interfaceName; // only the addresses of this card ("eth0"); empty: every card
    QString local;         // only the card with this address; empty: every card
    int localPort = 1000;
    int timeoutMs = 200; // how long each round collects answers
    int retries = 0;     // further rounds, each sending the broadcasts again and waiting again
    LinkObserver *observer = nullptr;
};

// Finds the readers on the wires of this computer's cards without knowing their addresses: sends the
// parameter query as a broadcast from each chosen card (BroadcastTargets) and collects the parameter
// blocks that come back for (retries + 1) waits. A reader is reported once per card it answered on.
//
// Any host may answer a broadcast, so a datagram is taken for a reader by the window's own rules
// (ClassifyDatagram in read mode, its sender taken as the reader's address) and only when it is a whole
// parameter block with both markers. Datagrams from this computer's own addresses are never readers: a
// program here that hears the broadcast and answers it is this computer talking to itself.
//
// Each card's address gets a socket of its own on the local port: a reader answers the address the
// query came from, so that socket tells which card heard it.
class ReaderDiscovery : public QObject {
    Q_OBJECT

public:
    explicit ReaderDiscovery(QObject *parent = nullptr);
    ~ReaderDiscovery() override;

    // Chooses the cards among this computer's and starts; returns at once. The sockets are bound and the
    // first round is sent when the thread next processes events. When no card can be chosen, nothing is
    // sent and finished() follows with choice().problem set. A running discovery is stopped first
    // (without its finished()).
    void start(const DiscoveryOptions &options);
    // The same among the given cards (this computer's, as LocalCards() lists them).
    void start(const DiscoveryOptions &options, const QList<LocalCard> &computerCards);
    // Ends at once, keeping what was found; finished() follows. Harmless when not running.
    void stop();
    bool isRunning() const { return m_running; }

    // The cards broadcast on (what was tried), or the problem that left none.
    const CardChoice &choice() const { return m_choice; }
    // How many rounds went out.
    int roundsSent() const { return m_round; }
    // Every reader found so far, in address order, shared MACs marked.
    QList<FoundReader> found() const;
    // The card whose socket failed, after failed().
    const LocalCard &failedCard() const { return m_failedCard; }

signals:
    // A reader answered on a card for the first time (shared MACs are marked by found(), not here).
    void readerFound(const vrx::FoundReader &reader);
    // A card's socket could not be bound or could not send: the discovery ends (finished() follows).
    void failed(const vrx::SocketError &error);
    // The last wait has passed, stop() was called, or a socket failed.
    void finished();

private:
    void sendRound();
    bool bindSockets();
    void arrival(const LocalCard &card, const QByteArray &datagram, const QString &sender);
    void fail(const LocalCard &card, const SocketError &error);
    void end(bool announce);

    DiscoveryOptions m_options;
    CardChoice m_choice;
    QList<LocalCard> m_computerCards;
    QSet<QString> m_ownAddresses;
    std::vector<std::unique_ptr<SSock>> m_sockets; // one per card of m_choice, in its order
    QTimer m_roundTimer;
    int m_round = 0;
    bool m_running = false;
    QList<FoundReader> m_found;
    QSet<QString> m_heard; // card name + address + MAC of every reader reported
    LocalCard m_failedCard;
};

} // namespace vrx
