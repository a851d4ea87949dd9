#pragma once

#include "net/LinkObserver.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

namespace vrxctl {

// Bytes as upper-case hexadecimal pairs separated by blanks ("E7 E7 00 C0").
QString SpacedHex(const QByteArray &bytes);

// The text of one datagram for --trace: length, hex and the fields it carries. Keys never appear:
// in a datagram of 200 bytes or more each six-byte key slot shows as "************" and bytes past the
// frame are not shown; with keysInFlight (a key download is running) any other datagram that is not a
// query or a parameter block is withheld too, since it may be part of a key echo.
QString DescribeDatagram(const QByteArray &datagram, bool keysInFlight);

// Why a datagram ended no exchange, for --trace.
QString IgnoredReason(vrx::AwaitVerdict why);

// Writes "<ms since start> -> peer:port  <description>" lines to err when enabled. A frame of 200
// bytes or more that goes out starts a key download: until another frame goes out, replies that may
// be part of its echo are withheld.
class Trace final : public vrx::LinkObserver {
public:
    Trace(QTextStream *err, bool enabled);

    bool enabled() const { return m_err != nullptr; }
    void sent(const QString &peer, quint16 port, const QByteArray &datagram) override;
    void received(const QString &peer, quint16 port, const QByteArray &datagram) override;
    void ignored(const QString &peer, vrx::AwaitVerdict why) override; // "ignored the datagram from ..."
    void receiveFailed(const vrx::SocketError &error) override;        // "socket error N: ..." in English
    void pacingPlanned(const vrx::ScanPacingReport &report) override;  // "pacing: at most N ..."
    void pacingMet(const vrx::ScanPacingReport &report) override;      // "pacing met: ..."

private:
    void note(const QString &text);
    void line(const QString &arrow, const QString &peer, quint16 port, const QByteArray &datagram);

    QTextStream *m_err;
    QElapsedTimer m_clock;
    bool m_keys = false;
};

} // namespace vrxctl
