#include "link/TrafficLog.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"
#include "words/SocketWords.h"
#include "words/TrafficWords.h"

#include <QStringList>

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

SentFrame SentFrameOf(const QByteArray &datagram) {
    if (datagram == ParameterQuery())
        return SentFrame::ParameterQuery;
    if (datagram.size() == ParameterBlock::Size)
        return SentFrame::ParameterBlock;
    if (datagram.size() >= KeyFrame::Size)
        return SentFrame::KeyFrame;
    return SentFrame::Data;
}

QString TakenMeaning(qint16 status) {
    switch (status) {
    case Status::ParametersRead:
        return ReplyText(ReplyKind::ParametersRead);
    case Status::ConfigureEchoed:
        return ReplyText(ReplyKind::ConfigureEchoed);
    case Status::ConfigureEchoDiffers:
        return ReplyText(ReplyKind::ConfigureEchoDiffers);
    case Status::KeysEchoed:
        return ReplyText(ReplyKind::KeysEchoed);
    case Status::KeyEchoDiffers:
        return ReplyText(ReplyKind::KeyEchoDiffers);
    default:
        return OtherStatusText(status);
    }
}

QString IgnoredMeaning(DatagramVerdict verdict) {
    switch (verdict) {
    case DatagramVerdict::FromThisComputer:
        return IgnoredText(IgnoredReason::FromThisComputer);
    case DatagramVerdict::WrongSender:
        return IgnoredText(IgnoredReason::WrongSender);
    case DatagramVerdict::WrongLength:
    case DatagramVerdict::Taken:
        break;
    }
    return IgnoredText(IgnoredReason::WrongLength);
}

} // namespace

TrafficLog::TrafficLog(Clock::time_point started, NoReplyWords noReplyWords)
    : m_started(started)
    , m_noReplyWords(std::move(noReplyWords)) {}

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

// The headings are the shared words', in the same order as the columns.
static_assert(int(TrafficHeading::Bytes) == int(TrafficLog::Column::Bytes) &&
              int(TrafficHeading::Time) == int(TrafficLog::Column::Time));
QString TrafficLog::ColumnTitle(Column column) {
    return TrafficHeadingText(TrafficHeading(column));
}

QString TrafficLog::Text(qsizetype row, Column column, bool showKeys) const {
    const Row &entry = m_rows.at(size_t(row));
    switch (column) {
    case Column::Time:
        return TimeText(entry.time);
    case Column::Direction:
        return entry.direction == Direction::Received || entry.direction == Direction::NoReply
                   ? ReceivedDirectionText()
                   : SentDirectionText();
    case Column::Peer:
        return QStringLiteral("%1:%2").arg(entry.peer).arg(entry.port);
    case Column::Length:
        return entry.direction == Direction::NoReply ? QString() : QString::number(entry.length);
    case Column::Meaning:
        return Meaning(entry);
    case Column::Bytes: {
        if (entry.direction == Direction::NoReply)
            return QString(); // its length is the wait's, and no datagram came
        QString text = HexText(entry.bytes, entry.mayCarryKeys && !showKeys);
        if (entry.length > entry.bytes.size())
            text += QStringLiteral(" …");
        return text;
    }
    }
    return QString();
}

QString TrafficLog::Meaning(const Row &row) const {
    switch (row.direction) {
    case Direction::Sent:
        return SentFrameText(SentFrameOf(row.bytes));
    case Direction::SendFailed:
        return SendFailedText(SentFrameText(SentFrameOf(row.bytes)), SocketErrorDescription(*row.failure));
    case Direction::NoReply:
        return m_noReplyWords ? m_noReplyWords(int(row.length)) : QString::number(row.length);
    case Direction::Received:
        break;
    }
    return row.verdict == DatagramVerdict::Taken ? TakenMeaning(row.status) : IgnoredMeaning(row.verdict);
}

QString TrafficLog::CopyText(bool showKeys) const {
    QStringList cells;
    for (int column = 0; column < ColumnCount; ++column)
        cells << ColumnTitle(Column(column));
    QString text = cells.join(u'\t') + u'\n';
    for (qsizetype row = 0; row < RowCount(); ++row) {
        cells.clear();
        for (int column = 0; column < ColumnCount; ++column)
            cells << Text(row, Column(column), showKeys);
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

QString TrafficLog::TimeText(std::chrono::nanoseconds sinceStart) {
    const qint64 tenths = sinceStart.count() / 100'000;
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

} // namespace vrx
