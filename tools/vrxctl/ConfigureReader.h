#pragma once

#include "SettingsChange.h"

#include "net/ReaderLink.h"

#include "config/ReaderSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace vrxctl {

using vrx::ReaderLink;

enum class ConfigureResult {
    Ok,             // written and confirmed by the exact echo (and verified, when asked)
    DryRun,         // checked and encoded, nothing written
    ReadNoReply,    // the current settings could not be read
    Invalid,        // the settings fail the window's checks
    NoReply,        // no echo in time
    EchoDiffers,    // an echo that is not the block sent
    VerifyNoReply,  // written, but the reader did not answer the read-back (or cannot be reached there)
    VerifyMismatch, // written, but the read-back differs
    SocketError,
};

struct ConfigureOutcome {
    ConfigureResult result = ConfigureResult::Invalid;
    // The reason for Invalid, the fields for VerifyMismatch, the text of SocketError, and for
    // VerifyNoReply why the new address cannot be asked at all (empty: it was asked, in vain).
    QString detail;
    qint64 verifiedAfterMs = -1; // when verified: how long the reader took to answer the read-back
    vrx::ReaderSettings before;
    vrx::ReaderSettings after;
    QByteArray block;
    QStringList changes; // "port 1234 -> 80"

    int exitCode() const;
    // The report's words: ok, no reply, echo differs, invalid: reason, ...
    QString resultText() const;
};

// How a configure reads the settings back.
struct VerifyPlan {
    int windowMs = 0; // how long it goes on asking
    // Unless --local was given, a reader that moved is asked from the address that the route to its new
    // address uses: the card the technician gave an address in the reader's new subnet.
    bool localFollowsRoute = true;
};

// Reads the reader's settings, applies the change, checks and encodes them with the window's code,
// writes the block and accepts only its exact echo; with a verify plan, reads the settings back from
// the reader's (possibly new) address, asking for up to its window, and compares them field by field.
ConfigureOutcome ConfigureReader(ReaderLink &link, const QString &reader, const SettingsChange &change,
                                 const std::optional<VerifyPlan> &verify, bool dryRun);

} // namespace vrxctl
