#pragma once

#include "net/ReaderLink.h"
#include "net/ReaderOperations.h"

#include "config/ReaderSettings.h"
#include "config/SettingsChange.h"
#include "link/SocketErrors.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace vrx {

enum class ConfigureResult {
    Ok,              // written and confirmed by the exact echo (and verified, when asked)
    DryRun,          // read, checked and encoded; nothing written
    ReadNoReply,     // the current settings could not be read: nothing was written
    Invalid,         // the settings fail the window's checks: nothing was written
    NoRoute,         // no card and no route reaches the reader: it was not asked
    NoReply,         // no echo of the settings in time
    EchoDiffers,     // an echo that is not the block sent
    KeysNoReply,     // no echo of the keys in time: the settings were not written
    KeysEchoDiffers, // a key echo that is not the frame sent: the settings were not written
    VerifyNoReply,   // written, but the reader did not answer the read-back (or cannot be reached there)
    VerifyMismatch,  // written, but the read-back differs
    SocketError,     // binding or sending failed
    NoAddressLeft,   // new addresses were handed out past 255.255.255.255: the reader was not asked
    NotStarted,      // a batch was stopped before this reader
};

// What a row comes to, in the four words an operator sees per reader.
enum class OutcomeKind { Success, NoReply, EchoDiffers, NotWritten };

struct ConfigureOutcome {
    ConfigureResult result = ConfigureResult::NotStarted;
    EncodedChange encoded;        // for Invalid: why (the window's messages or the choice)
    QString unreachable;          // for NoRoute, and for VerifyNoReply when the new address has no route
    Verification verification;    // for VerifyMismatch (and Ok when verified): what the reader reports
    SocketError socketError;      // for SocketError
    qint64 verifiedAfterMs = -1;  // when verified: how long the reader took to answer the read-back
    ReaderSettings before;        // as read, when it answered
    ReaderSettings after;         // as written (before, when no settings were to be written)
    QByteArray block;             // the block sent, when settings were to be written
    bool keysDownloaded = false;  // the reader echoed the key frame
    bool settingsWritten = false; // the reader echoed the block

    OutcomeKind kind() const;
};

// How a configure reads the settings back.
struct VerifyPlan {
    int windowMs = 0; // how long it goes on asking
    // A reader that moved is asked from the address that the route to its new address uses: the card
    // the technician gave an address in the reader's new subnet. Off when a local address was chosen.
    bool localFollowsRoute = true;
};

// What to do to one reader.
struct ReaderWork {
    std::optional<SettingsChange> change; // the settings to write; none: write no settings
    QByteArray keyFrame;                  // the key frame to download before the settings; empty: none
    std::optional<VerifyPlan> verify;
    bool dryRun = false;
};

// Reads the reader's settings first: nothing is sent to a reader that does not answer. Then applies
// the change, checks and encodes it with the window's code, downloads the keys and writes the block,
// accepting only their exact echoes; with a verify plan, reads the settings back from the reader's
// (possibly new) address, asking for up to its window, and compares them field by field.
ConfigureOutcome ConfigureReader(ReaderLink &link, const QString &reader, const ReaderWork &work);

inline ConfigureOutcome ConfigureReader(ReaderLink &link, const QString &reader, const SettingsChange &change,
                                        const std::optional<VerifyPlan> &verify, bool dryRun) {
    return ConfigureReader(link, reader, ReaderWork{change, {}, verify, dryRun});
}

} // namespace vrx
