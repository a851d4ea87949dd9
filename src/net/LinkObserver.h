#pragma once

#include "link/AwaitedReply.h"
#include "link/SocketErrors.h"

#include <QByteArray>
#include <QString>

namespace vrx {

// Sees every datagram that the engine sends or receives, and its notes (receive errors): vrxctl's
// --trace prints them, the window's traffic log could list them. Called on the engine's thread.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    virtual void sent(const QString &peer, quint16 port, const QByteArray &datagram) = 0;
    virtual void received(const QString &peer, quint16 port, const QByteArray &datagram) = 0;
    virtual void note(const QString &text) = 0;
    // A received datagram that ended no exchange, and why (after received()).
    virtual void ignored(const QString &peer, AwaitVerdict why) {
        Q_UNUSED(peer);
        Q_UNUSED(why);
    }
    // A failure while receiving: nothing can be thrown to anyone then, so it is only seen. Noted by
    // its number unless the observer words it itself (src/words).
    virtual void receiveFailed(const SocketError &error) {
        note(QStringLiteral("receive error %1").arg(error.number));
    }
};

} // namespace vrx
