#pragma once

#include "SettingsView.h"

#include "net/ReaderOperations.h"

#include <QString>

namespace vrxctl {

using vrx::DefaultVerifyTimeoutMs;
using vrx::DownloadKeys;
using vrx::LinkOptions;
using vrx::ReaderLink;
using vrx::ReadSettings;
using vrx::Verification;
using vrx::VerifySettings;
using vrx::WriteResult;
using vrx::WriteSettings;

QString WriteResultText(WriteResult result);

// "reader_ip wrote 1.2.3.4, reader reports 1.2.3.5; ..." for the mismatched fields.
QString VerificationText(const Verification &verification, const vrx::ReaderSettings &written);

} // namespace vrxctl
