#pragma once

#include "SettingsChange.h"

#include "net/ConfigureReader.h"

#include <QString>
#include <QStringList>

namespace vrxctl {

using vrx::ConfigureOutcome;
using vrx::ConfigureReader;
using vrx::ConfigureResult;
using vrx::ReaderLink;
using vrx::ReaderWork;
using vrx::VerifyPlan;

// What the outcome makes vrxctl tell the shell.
int ExitCodeOf(const ConfigureOutcome &outcome);

// The report's words: ok, dry run, no reply, echo differs, invalid: reason, ...
QString ResultText(const ConfigureOutcome &outcome);

// The reason for Invalid, the fields for VerifyMismatch, the text of SocketError and NoRoute, and for
// VerifyNoReply why the new address cannot be asked at all (empty: it was asked, in vain).
QString DetailText(const ConfigureOutcome &outcome);

// "keys downloaded" when they were, and "port 1234 -> 80" for each setting the outcome changes.
QStringList ChangesOf(const ConfigureOutcome &outcome);

} // namespace vrxctl
