#include "words/TrafficWords.h"

#include "link/ExchangeState.h"
#include "words/SocketWords.h"

#include <QCoreApplication>
#include <QStringList>

namespace vrx {

namespace {

QString Word(const char *source) {
    return QCoreApplication::translate("vrx::TrafficWords", source);
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

QString Meaning(const TrafficLog::Row &row) {
    using Direction = TrafficLog::Direction;
    switch (row.direction) {
    case Direction::Sent:
        return SentFrameText(row.Frame());
    case Direction::SendFailed:
        return SendFailedText(SentFrameText(row.Frame()), SocketErrorDescription(*row.failure));
    case Direction::NoReply:
        return NoReplyWithinText(int(row.length));
    case Direction::Received:
        break;
    }
    return row.verdict == DatagramVerdict::Taken ? TakenMeaning(row.status) : IgnoredMeaning(row.verdict);
}

} // namespace

QString TrafficCellText(const TrafficLog::Row &row, TrafficLog::Column column, bool showKeys) {
    using Column = TrafficLog::Column;
    using Direction = TrafficLog::Direction;
    switch (column) {
    case Column::Time:
        return TrafficLog::TimeText(row.time);
    case Column::Direction:
        return row.direction == Direction::Received || row.direction == Direction::NoReply
                   ? ReceivedDirectionText()
                   : SentDirectionText();
    case Column::Peer:
        return QStringLiteral("%1:%2").arg(row.peer).arg(row.port);
    case Column::Length:
        return row.direction == Direction::NoReply ? QString() : QString::number(row.length);
    case Column::Meaning:
        return Meaning(row);
    case Column::Bytes:
        return row.BytesText(showKeys);
    }
    return QString();
}

// The headings are in the same order as the columns.
static_assert(int(TrafficHeading::Bytes) == int(TrafficLog::Column::Bytes) &&
              int(TrafficHeading::Time) == int(TrafficLog::Column::Time));
QString TrafficColumnTitle(TrafficLog::Column column) {
    return TrafficHeadingText(TrafficHeading(column));
}

QString TrafficCopyText(const TrafficLog &log, bool showKeys) {
    QStringList cells;
    for (int column = 0; column < TrafficLog::ColumnCount; ++column)
        cells << TrafficColumnTitle(TrafficLog::Column(column));
    QString text = cells.join(u'\t') + u'\n';
    for (qsizetype row = 0; row < log.RowCount(); ++row) {
        cells.clear();
        for (int column = 0; column < TrafficLog::ColumnCount; ++column)
            cells << TrafficCellText(log.At(row), TrafficLog::Column(column), showKeys);
        text += cells.join(u'\t') + u'\n';
    }
    return text;
}

QString TrafficHeadingText(TrafficHeading heading) {
    switch (heading) {
    case TrafficHeading::Time:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "时间(ms)"));
    case TrafficHeading::Direction:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "方向"));
    case TrafficHeading::Peer:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "对方地址"));
    case TrafficHeading::Length:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "长度"));
    case TrafficHeading::Meaning:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "说明"));
    case TrafficHeading::Bytes:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "数据(十六进制)"));
    }
    return QString();
}

QString SentDirectionText() {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "发送"));
}

QString ReceivedDirectionText() {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "接收"));
}

QString SentFrameText(SentFrame frame) {
    switch (frame) {
    case SentFrame::ParameterQuery:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "参数查询"));
    case SentFrame::ParameterBlock:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "参数块（配置）"));
    case SentFrame::KeyFrame:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "密码帧"));
    case SentFrame::Data:
        break;
    }
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "数据"));
}

QString SendFailedText(const QString &frame, const QString &failure) {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "%1，发送失败：%2")).arg(frame, failure);
}

QString ReplyText(ReplyKind reply) {
    switch (reply) {
    case ReplyKind::ParametersRead:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "参数块，状态21"));
    case ReplyKind::ConfigureEchoed:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "配置回显，一致，状态11"));
    case ReplyKind::ConfigureEchoDiffers:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "配置回显，不一致，状态12"));
    case ReplyKind::KeysEchoed:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "密码回显，一致，状态31"));
    case ReplyKind::KeyEchoDiffers:
        break;
    }
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "密码回显，不一致，状态32"));
}

QString OtherStatusText(int status) {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "状态%1")).arg(status);
}

QString IgnoredText(IgnoredReason reason) {
    switch (reason) {
    case IgnoredReason::FromThisComputer:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "忽略：来自本机IP"));
    case IgnoredReason::WrongSender:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "忽略：发送方不是读卡器IP"));
    case IgnoredReason::WrongLength:
        break;
    }
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "忽略：长度不符"));
}

QString NoReplyWithinText(int milliseconds) {
    return QCoreApplication::translate("vrx::TrafficWords", "%1 ms 内没有回复").arg(milliseconds);
}

} // namespace vrx
