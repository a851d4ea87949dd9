#pragma once

#include "link/ExchangeState.h"
#include "link/SocketErrors.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>

namespace vrx {

// The window's traffic log: one row for every datagram its socket sends or receives, newest last,
// with what the window took it for, and one for every wait that ended without the awaited reply. Rows are
// values that keep the raw datagram; the front end words them only when shown or copied (src/words), so
// recording one costs a clock reading and a few shared copies.
//
// Key bytes are masked in the bytes' text unless the caller asks to see them. A datagram may carry keys
// when it is 200 bytes or more (a key frame, or an echo of one, equal or not), when it begins with a
// key frame's start marker (an echo cut short), or when it arrives while a key frame is the last frame
// sent (whatever a reader answers to keys, however garbled). In such a datagram every byte from the
// first key slot on shows as "**", except the key frame's end marker.
class TrafficLog {
public:
    static constexpr qsizetype MaxRows = 10000;
    // Bytes kept of one datagram; the length column still gives the whole length.
    static constexpr qsizetype KeptBytes = 512;

    enum class Column { Time, Direction, Peer, Length, Meaning, Bytes };
    static constexpr int ColumnCount = 6;

    using Clock = std::chrono::steady_clock;

    enum class Direction : quint8 { Sent, SendFailed, Received, NoReply };
    // What a sent datagram was, told by its bytes.
    enum class SentFrame : quint8 { ParameterQuery, ParameterBlock, KeyFrame, Data };

    struct Row {
        std::chrono::nanoseconds time; // since the log's start
        Direction direction;
        DatagramVerdict verdict; // for Received: what the arrival handler decided
        bool mayCarryKeys;
        qint16 status; // for Received: the status the datagram left
        quint16 port;
        qsizetype length; // the datagram's whole length; for NoReply: how long the wait lasted, in ms
        QString peer;
        QByteArray bytes;                           // at most KeptBytes
        std::shared_ptr<const SocketError> failure; // for SendFailed

        SentFrame Frame() const;
        // The kept bytes as upper-case hexadecimal pairs, with " …" when the datagram was longer; key
        // positions show as "**" unless showKeys. Empty for NoReply.
        QString BytesText(bool showKeys) const;
    };

    // Times are counted from `started`: when the window started.
    explicit TrafficLog(Clock::time_point started);

    void RecordSent(const QString &peer, quint16 port, const QByteArray &datagram);
    // A datagram the socket refused to send, with the failure, worded only when shown.
    void RecordSendFailure(const QString &peer, quint16 port, const QByteArray &datagram,
                           const SocketError &failure);
    // A received datagram with what the arrival handler decided and the status it left.
    void RecordReceived(const QString &peer, quint16 port, const QByteArray &datagram,
                        DatagramVerdict verdict, qint16 status);
    // A wait for the reader at peer:port that ended after waitedMs without the awaited reply.
    void RecordNoReply(const QString &peer, quint16 port, int waitedMs);
    void Clear();

    qsizetype RowCount() const { return qsizetype(m_rows.size()); }
    // Every row ever recorded has a number, counting from 0; row 0 of the log now is FirstNumber().
    // Rows dropped by the cap or by Clear make it grow, so a view can tell what changed.
    quint64 FirstNumber() const { return m_dropped; }

    const Row &At(qsizetype row) const { return m_rows.at(size_t(row)); }

    // Called after every change of the rows; one listener at a time, none by default.
    void SetChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

    // Milliseconds with one decimal ("1234.5").
    static QString TimeText(std::chrono::nanoseconds sinceStart);

private:
    void Append(Row row);
    static QByteArray Kept(const QByteArray &datagram);

    Clock::time_point m_started;
    std::deque<Row> m_rows;
    quint64 m_dropped = 0;
    bool m_keysInFlight = false; // the last frame sent was a key frame
    std::function<void()> m_changed;
};

} // namespace vrx
