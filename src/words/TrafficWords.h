#pragma once

#include "link/TrafficLog.h"

#include <QString>

namespace vrx {

// The traffic log's words, in the spoken language: its headings, and what each row was. The log keeps
// what happened as values; its window words them with these only when a row is shown or copied.

// One cell of a row as the log's window shows it.
QString TrafficCellText(const TrafficLog::Row &row, TrafficLog::Column column, bool showKeys);
QString TrafficColumnTitle(TrafficLog::Column column);
// Every row, one line each with its columns separated by tabs, under a line of column titles.
QString TrafficCopyText(const TrafficLog &log, bool showKeys);

enum class TrafficHeading { Time, Direction, Peer, Length, Meaning, Bytes };
QString TrafficHeadingText(TrafficHeading heading);

QString SentDirectionText();
QString ReceivedDirectionText();

using SentFrame = TrafficLog::SentFrame;
QString SentFrameText(SentFrame frame);
// A frame the socket refused to send, worded by SentFrameText, with the failure's description.
QString SendFailedText(const QString &frame, const QString &failure);

// What a taken reply left: the statuses a reply sets, or another status by its number.
enum class ReplyKind { ParametersRead, ConfigureEchoed, ConfigureEchoDiffers, KeysEchoed, KeyEchoDiffers };
QString ReplyText(ReplyKind reply);
QString OtherStatusText(int status);

enum class IgnoredReason { FromThisComputer, WrongSender, WrongLength };
QString IgnoredText(IgnoredReason reason);

// The traffic log's row for a wait that ended without the awaited reply.
QString NoReplyWithinText(int milliseconds);

} // namespace vrx
