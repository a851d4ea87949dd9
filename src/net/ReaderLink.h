#pragma once

#include "link/SSock.h"
#include "net/LinkObserver.h"
#include "net/ReaderExchange.h"

#include <QString>

#include <vector>

namespace vrx {

struct LinkOptions {
    QString local; // the computer's address to bind
    int localPort = 1000;
    int timeoutMs = 200;
    int retries = 0;
};

// Runs many exchanges on the one socket at once: sends are paced in bursts, every datagram is matched
// to the exchange of its sender and classified (ClassifyAwaited), and each exchange ends at the datagram
// it waits for or when its own wait has passed; any other datagram is shown to the observer as ignored.
// With a single exchange, a datagram from another sender is still offered to it (a key echo counts
// from any address but this computer's own).
class ReaderLink {
public:
    static constexpr int FirstResendGapMs = 2;
    static constexpr int LastResendGapMs = 250;

    ReaderLink(LinkOptions options, LinkObserver *observer = nullptr);

    const LinkOptions &options() const { return m_options; }
    void setLocal(const QString &local) { m_options.local = local; }

    // Binds afresh (as the window does before each operation, which also drops stale datagrams),
    // sends, waits, and resends the unanswered up to `retries` times (-1: the configured number).
    // Throws SocketException when binding or sending fails.
    void run(std::vector<Exchange> &exchanges, int retries = -1);

    // For a reader that may not be listening yet (it is moving to a new address): the request is sent
    // again at growing intervals (2, 4, 8 ... at most 250 ms) until a reply is recognised or windowMs
    // have passed since the first send. A quick move is caught within milliseconds, and a slow one costs
    // at most four requests a second: while the computer still asks for the new address's MAC, the
    // system holds every request, and delivers them all at once when the reader answers.
    void poll(std::vector<Exchange> &exchanges, int windowMs);

private:
    void runRound(std::vector<Exchange> &exchanges, const std::vector<size_t> &pending, int waitMs,
                  bool resend);

    LinkOptions m_options;
    LinkObserver *m_observer;
    SSock m_socket;
};

} // namespace vrx
