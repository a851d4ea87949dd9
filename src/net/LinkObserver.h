#pragma once

#include "link/AwaitedReply.h"
#include "link/SocketErrors.h"
#include "net/ScanPacingReport.h"

#include <QByteArray>
#include <QString>

namespace vrx {

// Sees every datagram that the engine sends or receives, and what else it meets on the way, as values:
// vrxctl's --trace words them (src/words), the window's traffic log could list them. Called on the
// engine's thread.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    virtual void sent(const QString &peer, quint16 port, const QByteArray &datagram) = 0;
    virtual void received(const QString &peer, quint16 port, const QByteArray &datagram) = 0;
    // A received datagram that ended no exchange, and why (after received()).
    virtual void ignored(const QString &peer, AwaitVerdict why) {
        Q_UNUSED(peer);
        Q_UNUSED(why);
    }
    // A failure while receiving: nothing can be thrown to anyone then, so it is only seen.
    virtual void receiveFailed(const SocketError &error) { Q_UNUSED(error); }
    // The pacing a scan sets out with when some of its queries need ARP: the neighbour table's limits
    // and what they allow.
    virtual void pacingPlanned(const ScanPacingReport &report) { Q_UNUSED(report); }
    // What that pacing met, when the scan ends.
    virtual void pacingMet(const ScanPacingReport &report) { Q_UNUSED(report); }
};

} // namespace vrx
