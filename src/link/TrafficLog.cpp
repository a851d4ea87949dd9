#include "link/TrafficLog.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"

namespace vrx {

namespace {

// The key slots of a key frame lie between its four start and four end marker bytes.
constexpr qsizetype FirstKeyByte = 4;
constexpr qsizetype EndMarkerByte = KeyFrame::Size - 4;
const QByteArray KeyStartMarker(FirstKeyByte, char(KeyFrame::StartMarker));

bool MayCarryKeys(const QByteArray &datagram) {
    return datagram.size() >= KeyFrame::Size || datagram.startsWith(KeyStartMarker);
}

// The key slots, and whatever lies past a key frame's 200 bytes: what a reader appends is unknown.
bool IsMasked(qsizetype index) {
    return index >= FirstKeyByte && (index < EndMarkerByte || index >= KeyFrame::Size);
}

// Upper-case hexadecimal pairs separated by blanks; with maskKeys the key positions show as "**".
QString HexText(const QByteArray &bytes, bool maskKeys) {
    QString text;
    text.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += u' ';
        if (maskKeys && IsMasked(i)) {
            text += QLatin1String("**");
            continue;
        }
        text += ByteToHex(quint8(bytes.at(i)));
    }
    return text;
}

} // namespace

TrafficLog::TrafficLog(Clock::time_point started)
    : m_started(started) {}

void TrafficLog::RecordSent(const QString &peer, quint16 port, const QByteArray &datagram) {
    m_keysInFlight = datagram.size() >= KeyFrame::Size;
    Append(Row{Clock::now() - m_started, Direction::Sent, DatagramVerdict::Taken, MayCarryKeys(datagram),
               Status::None, port, datagram.size(), peer, Kept(datagram), nullptr});
}

void TrafficLog::RecordSendFailure(const QString &peer, quint16 port, const QByteArray &datagram,
                                   const SocketError &failure) {
    Append(Row{Clock::now() - m_started, Direction::SendFailed, DatagramVerdict::Taken,
               MayCarryKeys(datagram), Status::None, port, datagram.size(), peer, Kept(datagram),
               std::make_shared<const SocketError>(failure)});
}

void TrafficLog::RecordReceived(const QString &peer, quint16 port, const QByteArray &datagram,
                                DatagramVerdict verdict, qint16 status) {
    Append(Row{Clock::now() - m_started, Direction::Received, verdict,
               m_keysInFlight || MayCarryKeys(datagram), status, port, datagram.size(), peer, Kept(datagram),
               nullptr});
}

void TrafficLog::RecordNoReply(const QString &peer, quint16 port, int waitedMs) {
    Append(Row{Clock::now() - m_started, Direction::NoReply, DatagramVerdict::Taken, false, Status::None,
               port, waitedMs, peer, QByteArray(), nullptr});
}

void TrafficLog::Clear() {
    m_dropped += m_rows.size();
    m_rows.clear();
    if (m_changed)
        m_changed();
}

void TrafficLog::Append(Row row) {
    m_rows.push_back(std::move(row));
    if (qsizetype(m_rows.size()) > MaxRows) {
        m_rows.pop_front();
        ++m_dropped;
    }
    if (m_changed)
        m_changed();
}

// A datagram is kept as it came, shared, unless it is long: then only its head is copied, so that the
// rows never hold more than KeptBytes each.
QByteArray TrafficLog::Kept(const QByteArray &datagram) {
    if (datagram.size() <= KeptBytes)
        return datagram;
    return QByteArray(datagram.constData(), KeptBytes);
}

TrafficLog::SentFrame TrafficLog::Row::Frame() const {
    if (bytes == ParameterQuery())
        return SentFrame::ParameterQuery;
    if (length == ParameterBlock::Size)
        return SentFrame::ParameterBlock;
    if (length >= KeyFrame::Size)
        return SentFrame::KeyFrame;
    return SentFrame::Data;
}

QString TrafficLog::Row::BytesText(bool showKeys) const {
    if (direction == Direction::NoReply)
        return QString(); // its length is the wait's, and no datagram came
    QString text = HexText(bytes, mayCarryKeys && !showKeys);
    if (length > bytes.size())
        text += QStringLiteral(" …");
    return text;
}

QString TrafficLog::TimeText(std::chrono::nanoseconds sinceStart) {
    const qint64 tenths = sinceStart.count() / 100'000;
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

} // namespace vrx
