#include "ConfigureReader.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "ReaderOperations.h"
#include "SocketErrorText.h"

namespace vrxctl {

int ExitCodeOf(const ConfigureOutcome &outcome) {
    switch (outcome.result) {
    case ConfigureResult::Ok:
    case ConfigureResult::DryRun:
        return Success;
    case ConfigureResult::Invalid:
    case ConfigureResult::NoAddressLeft:
        return BadInput;
    case ConfigureResult::SocketError:
    case ConfigureResult::NoRoute:
        return SocketFailure;
    default:
        return NotConfirmed;
    }
}

QString DetailText(const ConfigureOutcome &outcome) {
    switch (outcome.result) {
    case ConfigureResult::Invalid:
        return ChangeErrorText(outcome.encoded);
    case ConfigureResult::VerifyMismatch:
        return VerificationText(outcome.verification, outcome.after);
    case ConfigureResult::SocketError:
        return SocketFailureText(outcome.socketError);
    case ConfigureResult::NoRoute:
    case ConfigureResult::VerifyNoReply:
        return outcome.unreachable.isEmpty() ? QString() : NoRouteText(outcome.unreachable);
    default:
        return {};
    }
}

QString ResultText(const ConfigureOutcome &outcome) {
    switch (outcome.result) {
    case ConfigureResult::Ok:
        return QStringLiteral("ok");
    case ConfigureResult::DryRun:
        return QStringLiteral("dry run");
    case ConfigureResult::ReadNoReply:
    case ConfigureResult::NoReply:
        return QStringLiteral("no reply");
    case ConfigureResult::Invalid:
        return QStringLiteral("invalid: ") + DetailText(outcome);
    case ConfigureResult::EchoDiffers:
        return QStringLiteral("echo differs");
    case ConfigureResult::KeysNoReply:
        return QStringLiteral("keys: no reply");
    case ConfigureResult::KeysEchoDiffers:
        return QStringLiteral("keys: echo differs");
    case ConfigureResult::VerifyNoReply:
        return outcome.unreachable.isEmpty() ? QStringLiteral("verify: no reply")
                                             : QStringLiteral("verify: ") + DetailText(outcome);
    case ConfigureResult::VerifyMismatch:
        return QStringLiteral("verify mismatch: ") + DetailText(outcome);
    case ConfigureResult::SocketError:
    case ConfigureResult::NoRoute:
        return DetailText(outcome);
    case ConfigureResult::NoAddressLeft:
        return QStringLiteral("invalid: no address is left above 255.255.255.255");
    case ConfigureResult::NotStarted:
        return QStringLiteral("not started");
    }
    return {};
}

QStringList ChangesOf(const ConfigureOutcome &outcome) {
    if (outcome.result == ConfigureResult::NotStarted || outcome.result == ConfigureResult::ReadNoReply ||
        outcome.result == ConfigureResult::Invalid || outcome.result == ConfigureResult::NoRoute ||
        outcome.result == ConfigureResult::SocketError || outcome.result == ConfigureResult::NoAddressLeft)
        return {};
    QStringList changes;
    if (outcome.keysDownloaded)
        changes.append(QStringLiteral("keys downloaded"));
    return changes + SettingsDifferences(outcome.before, outcome.after);
}

} // namespace vrxctl
