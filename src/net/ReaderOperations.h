#pragma once

#include "net/ReaderLink.h"

#include "config/ReaderSettings.h"
#include "config/SettingField.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace vrx {

// The reader's settings, or nothing when no parameter block came back in time; *block, when given,
// receives the 41 bytes as they came, and *wrongLength the length of a reply from the reader that was
// ignored for its length (-1: none came).
std::optional<ReaderSettings> ReadSettings(ReaderLink &link, const QString &reader, int retries = -1,
                                           QByteArray *block = nullptr, int *wrongLength = nullptr);

enum class WriteResult { Confirmed, NoReply, EchoDiffers };

// Sends the block; confirmed only by the exact echo. settingsReply is the block ReadSettings brought
// back for the same command: a copy of it arriving during the wait is a late answer to a settings
// query that had been sent again, not the reader's echo.
WriteResult WriteSettings(ReaderLink &link, const QString &reader, const QByteArray &block,
                          const QByteArray &settingsReply = {});

// Sends the key frame; confirmed only by an echo of its 200 bytes.
WriteResult DownloadKeys(ReaderLink &link, const QString &reader, const QByteArray &keyFrame);

// The outcome of reading the settings back after a write.
struct Verification {
    bool answered = false;
    qint64 answeredAfterMs = 0; // from the first read-back to the reply
    QList<SettingField> mismatched;
    ReaderSettings reported;
    bool ok() const { return answered && mismatched.isEmpty(); }
};

// How long a verify goes on asking where the block put the reader (--verify-timeout). A device that
// takes a new address restarts its network stack, which takes it a second or two. Until it is back,
// the computer's question for its MAC (ARP) goes unanswered; the kernel asks again once a second
// (retrans_time 1 s) and gives up after three questions (mcast_solicit 3), and the next read-back
// starts it over. A reader back after 1.5 s is therefore first heard at the question of the second
// second, and one back just after three seconds at the one of the fourth: five seconds cover a
// reader that restarts in up to about four, and a silent reader costs no more than that.
constexpr int DefaultVerifyTimeoutMs = 5000;

// Reads the settings from where the block put the reader and compares them field by field. The
// reader is asked again at growing intervals (see ReaderLink::poll) until it answers or windowMs have
// passed.
Verification VerifySettings(ReaderLink &link, const ReaderSettings &written, int windowMs);

} // namespace vrx
