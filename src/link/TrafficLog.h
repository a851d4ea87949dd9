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
// with what the window took it for, and one for every wait that ended without the awaited reply. Rows keep
// the raw datagram and are put into words only when shown or copied, so recording one costs a clock reading
// and a few shared copies.
//
// Key bytes are masked in every text unless the caller asks to see them. A datagram may carry keys
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

    // The words of a no-reply row, given how long the wait lasted (src/words has them).
    using NoReplyWords = std::function<QString(int waitedMs)>;

    // Times are counted from `started`: when the window started.
    explicit TrafficLog(Clock::time_point started, NoReplyWords noReplyWords = {});

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

    static QString ColumnTitle(Column column);
    QString Text(qsizetype row, Column column, bool showKeys) const;
    // Every row, one line each with its columns separated by tabs, under a line of column titles.
    QString CopyText(bool showKeys) const;

    // Called after every change of the rows; one listener at a time, none by default.
    void SetChangeListener(std::function<void()> listener) { m_changed = std::move(listener); }

    // Milliseconds with one decimal ("1234.5").
    static QString TimeText(std::chrono::nanoseconds sinceStart);

private:
    enum class Direction : quint8 { Sent, SendFailed, Received, NoReply };

    struct Row {
        std::chrono::nanoseconds time;
        Direction direction;
        DatagramVerdict verdict;
        bool mayCarryKeys;
        qint16 status;
        quint16 port;
        qsizetype length; // for NoReply: how long the wait lasted, in milliseconds
        QString peer;
        QByteArray bytes;                           // at most KeptBytes
        std::shared_ptr<const SocketError> failure; // for SendFailed
    };

    void Append(Row row);
    QString Meaning(const Row &row) const;
    static QByteArray Kept(const QByteArray &datagram);

    Clock::time_point m_started;
    std::deque<Row> m_rows;
    quint64 m_dropped = 0;
    bool m_keysInFlight = false; // the last frame sent was a key frame
    std::function<void()> m_changed;
    NoReplyWords m_noReplyWords;
};

} // namespace vrx
