#pragma once

#include "SettingsView.h"

#include "net/ReaderLink.h"

#include "config/ReaderSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace vrxctl {

using vrx::LinkOptions;
using vrx::ReaderLink;

// The reader's settings, or nothing when no parameter block came back in time.
std::optional<vrx::ReaderSettings> ReadSettings(ReaderLink &link, const QString &reader, int retries = -1);

enum class WriteResult { Confirmed, NoReply, EchoDiffers };

// Sends the block; confirmed only by the exact echo.
WriteResult WriteSettings(ReaderLink &link, const QString &reader, const QByteArray &block);

// Sends the key frame; confirmed only by an echo of its 200 bytes.
WriteResult DownloadKeys(ReaderLink &link, const QString &reader, const QByteArray &keyFrame);

QString WriteResultText(WriteResult result);

// The outcome of reading the settings back after a write.
struct Verification {
    bool answered = false;
    QList<SettingField> mismatched;
    vrx::ReaderSettings reported;
    bool ok() const { return answered && mismatched.isEmpty(); }
};

// A reader takes a moment to move to a new address, so the read-back keeps asking (at growing
// intervals) for a few reply waits: the timeout times the larger of VerifyWaits and retries + 1.
constexpr int VerifyWaits = 3;
int VerifyWindowMs(const LinkOptions &options);

// Reads the settings from where the block put the reader and compares them field by field.
Verification VerifySettings(ReaderLink &link, const vrx::ReaderSettings &written);

// "reader_ip wrote 1.2.3.4, reader reports 1.2.3.5; ..." for the mismatched fields.
QString VerificationText(const Verification &verification, const vrx::ReaderSettings &written);

} // namespace vrxctl
