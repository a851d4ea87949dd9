#include "net/ConfigureReader.h"

#include "fields/AddressText.h"
#include "link/LocalCards.h"
#include "link/SocketException.h"

namespace vrx {

OutcomeKind ConfigureOutcome::kind() const {
    switch (result) {
    case ConfigureResult::Ok:
    case ConfigureResult::DryRun:
        return OutcomeKind::Success;
    case ConfigureResult::ReadNoReply:
    case ConfigureResult::NoReply:
    case ConfigureResult::KeysNoReply:
    case ConfigureResult::VerifyNoReply:
        return OutcomeKind::NoReply;
    case ConfigureResult::EchoDiffers:
    case ConfigureResult::KeysEchoDiffers:
    case ConfigureResult::VerifyMismatch:
        return OutcomeKind::EchoDiffers;
    case ConfigureResult::Invalid:
    case ConfigureResult::NoRoute:
    case ConfigureResult::SocketError:
    case ConfigureResult::NoAddressLeft:
    case ConfigureResult::NotStarted:
        return OutcomeKind::NotWritten;
    }
    return OutcomeKind::NotWritten;
}

namespace {

void Verify(ReaderLink &link, const QString &reader, const VerifyPlan &plan, ConfigureOutcome &outcome) {
    const QString moved = DottedText(outcome.after.readerIp);
    if (plan.localFollowsRoute && moved != reader) {
        const QString local = RouteLocalAddress(moved);
        if (local.isEmpty()) {
            outcome.result = ConfigureResult::VerifyNoReply;
            outcome.unreachable = moved;
            return;
        }
        link.setLocal(local);
    }
    outcome.verification = VerifySettings(link, outcome.after, plan.windowMs);
    if (!outcome.verification.answered)
        outcome.result = ConfigureResult::VerifyNoReply;
    else if (!outcome.verification.ok())
        outcome.result = ConfigureResult::VerifyMismatch;
    else
        outcome.verifiedAfterMs = outcome.verification.answeredAfterMs;
}

void Configure(ReaderLink &link, const QString &reader, const ReaderWork &work, ConfigureOutcome &outcome) {
    QByteArray settingsReply;
    const auto current = ReadSettings(link, reader, -1, &settingsReply);
    if (!current) {
        outcome.result = ConfigureResult::ReadNoReply;
        return;
    }
    outcome.before = *current;
    outcome.after = *current;
    if (work.change) {
        outcome.encoded = EncodeChange(*current, *work.change);
        if (!outcome.encoded.ok) {
            outcome.result = ConfigureResult::Invalid;
            return;
        }
        outcome.block = outcome.encoded.block;
        outcome.after = outcome.encoded.result;
    }
    if (work.dryRun) {
        outcome.result = ConfigureResult::DryRun;
        return;
    }
    // The keys go first, while the reader is still where it was read.
    if (!work.keyFrame.isEmpty()) {
        switch (DownloadKeys(link, reader, work.keyFrame)) {
        case WriteResult::NoReply:
            outcome.result = ConfigureResult::KeysNoReply;
            return;
        case WriteResult::EchoDiffers:
            outcome.result = ConfigureResult::KeysEchoDiffers;
            return;
        case WriteResult::Confirmed:
            outcome.keysDownloaded = true;
            break;
        }
    }
    outcome.result = ConfigureResult::Ok;
    if (!work.change)
        return;
    switch (WriteSettings(link, reader, outcome.block, settingsReply)) {
    case WriteResult::NoReply:
        outcome.result = ConfigureResult::NoReply;
        return;
    case WriteResult::EchoDiffers:
        outcome.result = ConfigureResult::EchoDiffers;
        return;
    case WriteResult::Confirmed:
        outcome.settingsWritten = true;
        break;
    }
    if (work.verify)
        Verify(link, reader, *work.verify, outcome);
}

} // namespace

ConfigureOutcome ConfigureReader(ReaderLink &link, const QString &reader, const ReaderWork &work) {
    ConfigureOutcome outcome;
    try {
        Configure(link, reader, work, outcome);
    } catch (const SocketException &failure) {
        outcome.result = ConfigureResult::SocketError;
        outcome.socketError = failure.error();
    }
    return outcome;
}

} // namespace vrx
