#include "ConfigureReader.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "ReaderOperations.h"
#include "SocketErrorText.h"

#include "fields/AddressText.h"
#include "link/LocalCards.h"

namespace vrxctl {

int ConfigureOutcome::exitCode() const {
    switch (result) {
    case ConfigureResult::Ok:
    case ConfigureResult::DryRun:
        return Success;
    case ConfigureResult::Invalid:
        return BadInput;
    case ConfigureResult::SocketError:
        return SocketFailure;
    default:
        return NotConfirmed;
    }
}

QString ConfigureOutcome::resultText() const {
    switch (result) {
    case ConfigureResult::Ok:
        return QStringLiteral("ok");
    case ConfigureResult::DryRun:
        return QStringLiteral("dry run");
    case ConfigureResult::ReadNoReply:
        return QStringLiteral("no reply");
    case ConfigureResult::Invalid:
        return QStringLiteral("invalid: ") + detail;
    case ConfigureResult::NoReply:
        return QStringLiteral("no reply");
    case ConfigureResult::EchoDiffers:
        return QStringLiteral("echo differs");
    case ConfigureResult::VerifyNoReply:
        return detail.isEmpty() ? QStringLiteral("verify: no reply") : QStringLiteral("verify: ") + detail;
    case ConfigureResult::VerifyMismatch:
        return QStringLiteral("verify mismatch: ") + detail;
    case ConfigureResult::SocketError:
        return detail;
    }
    return {};
}

ConfigureOutcome ConfigureReader(ReaderLink &link, const QString &reader, const SettingsChange &change,
                                 const std::optional<VerifyPlan> &verify, bool dryRun) {
    ConfigureOutcome outcome;
    try {
        const auto current = ReadSettings(link, reader);
        if (!current) {
            outcome.result = ConfigureResult::ReadNoReply;
            return outcome;
        }
        outcome.before = *current;
        const EncodedChange encoded = EncodeChange(*current, change);
        if (!encoded.ok) {
            outcome.result = ConfigureResult::Invalid;
            outcome.detail = encoded.error;
            return outcome;
        }
        outcome.block = encoded.block;
        outcome.after = encoded.result;
        outcome.changes = SettingsDifferences(outcome.before, outcome.after);
        if (dryRun) {
            outcome.result = ConfigureResult::DryRun;
            return outcome;
        }
        switch (WriteSettings(link, reader, encoded.block)) {
        case WriteResult::NoReply:
            outcome.result = ConfigureResult::NoReply;
            return outcome;
        case WriteResult::EchoDiffers:
            outcome.result = ConfigureResult::EchoDiffers;
            return outcome;
        case WriteResult::Confirmed:
            break;
        }
        outcome.result = ConfigureResult::Ok;
        if (verify) {
            const QString moved = vrx::DottedText(outcome.after.readerIp);
            if (verify->localFollowsRoute && moved != reader) {
                const QString local = vrx::RouteLocalAddress(moved);
                if (local.isEmpty()) {
                    outcome.result = ConfigureResult::VerifyNoReply;
                    outcome.detail = NoRouteText(moved);
                    return outcome;
                }
                link.setLocal(local);
            }
            const Verification verification = VerifySettings(link, outcome.after, verify->windowMs);
            if (!verification.answered)
                outcome.result = ConfigureResult::VerifyNoReply;
            else if (!verification.ok()) {
                outcome.result = ConfigureResult::VerifyMismatch;
                outcome.detail = VerificationText(verification, outcome.after);
            } else {
                outcome.verifiedAfterMs = verification.answeredAfterMs;
            }
        }
    } catch (const vrx::SocketException &failure) {
        outcome.result = ConfigureResult::SocketError;
        outcome.detail = SocketFailureText(failure.error());
    }
    return outcome;
}

} // namespace vrxctl
