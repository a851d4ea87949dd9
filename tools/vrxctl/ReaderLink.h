#pragma once

#include "Trace.h"

#include "config/ReaderSettings.h"
#include "link/ExchangeState.h"
#include "link/SSock.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace vrxctl {

struct LinkOptions {
    QString local; // the computer's address to bind
    int localPort = 1000;
    int timeoutMs = 200;
    int retries = 0;
};

// One request to one reader and what came of it. The state is the window's exchange state for this
// reader alone: replies are recognised by ClassifyDatagram against it.
struct Exchange {
    QString target; // canonical dotted text
    QByteArray frame;
    vrx::ExchangeState state;
    int attempts = 0;
    bool done() const { return state.ExchangeStatus != vrx::Status::None; }
};

Exchange ReadExchange(const QString &target, const QString &localIp);
Exchange WriteExchange(const QString &target, const QByteArray &block, const QString &localIp);
Exchange KeyExchange(const QString &target, const QByteArray &keyFrame, const QString &localIp);

// The settings a read exchange brought back; nothing when no parameter block was recognised.
std::optional<vrx::ReaderSettings> ReportedSettings(const Exchange &exchange);

// Runs many exchanges on the one socket at once: sends are paced in bursts, every datagram is matched
// to the exchange of its sender and classified, and each exchange ends at its first recognised
// datagram or when its own wait has passed. With a single exchange, a datagram from another sender is
// still offered to it (a key echo counts from any address but this computer's own).
class ReaderLink {
public:
    static constexpr int BurstSize = 32;
    static constexpr int BurstPauseMs = 1;
    static constexpr int FirstResendGapMs = 2;
    static constexpr int LastResendGapMs = 50;

    ReaderLink(LinkOptions options, Trace *trace);

    const LinkOptions &options() const { return m_options; }
    void setLocal(const QString &local) { m_options.local = local; }

    // Binds afresh (as the window does before each operation, which also drops stale datagrams),
    // sends, waits, and resends the unanswered up to `retries` times (-1: the configured number).
    // Throws vrx::SocketException when binding or sending fails.
    void run(std::vector<Exchange> &exchanges, int retries = -1);

    // For a reader that may not be listening yet (it is moving to a new address): the request is sent
    // again at growing intervals (2, 4, 8 ... at most 50 ms) until a reply is recognised or windowMs
    // have passed since the first send.
    void poll(std::vector<Exchange> &exchanges, int windowMs);

private:
    void runRound(std::vector<Exchange> &exchanges, const std::vector<size_t> &pending, int waitMs,
                  bool resend);

    LinkOptions m_options;
    Trace *m_trace;
    vrx::SSock m_socket;
};

} // namespace vrxctl
