#pragma once

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
};

} // namespace vrx
