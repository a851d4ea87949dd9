#pragma once

#include "config/ReaderSettings.h"
#include "link/AwaitedReply.h"
#include "link/ExchangeState.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vrx {

// The port every reader listens on.
constexpr quint16 ReaderPort = 1001;

// One request to one reader and what came of it. The state is the window's exchange state for this
// reader alone; replies are recognised by ClassifyAwaited against it, which waits for exactly the reply
// asked for.
struct Exchange {
    QString target; // canonical dotted text
    QByteArray frame;
    ExchangeState state;
    Awaiting awaiting = Awaiting::Settings;
    QByteArray settingsReply; // a write: the block its command read first, which a late reply repeats
    int attempts = 0;
    // The length of the last datagram from the target ignored for its length; -1 when none came, so
    // that a reply of the wrong length is not reported as no reply.
    int wrongLength = -1;
    bool done() const { return state.ExchangeStatus != Status::None; }
};

Exchange ReadExchange(const QString &target, const QString &localIp);
// settingsReply: the block the same command read from the reader before (see Exchange), if any.
Exchange WriteExchange(const QString &target, const QByteArray &block, const QString &localIp,
                       const QByteArray &settingsReply = {});
Exchange KeyExchange(const QString &target, const QByteArray &keyFrame, const QString &localIp);

// The settings a read exchange brought back; nothing when no parameter block was recognised.
std::optional<ReaderSettings> ReportedSettings(const Exchange &exchange);
// The settings in one datagram taken as the reply to a read of `sender` asked from localIp.
std::optional<ReaderSettings> ReportedSettings(const QByteArray &datagram, const QString &sender,
                                               const QString &localIp);

} // namespace vrx
