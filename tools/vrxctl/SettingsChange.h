#pragma once

#include "SettingsView.h"

#include "config/SettingsChange.h"

#include <QJsonObject>
#include <QString>

namespace vrxctl {

using vrx::CheckingBase;
using vrx::EncodeChange;
using vrx::EncodedChange;
using vrx::SettingsChange;

// Reads an object with the keys of `read --json`. Ports may be numbers or texts, choices words.
// An unknown key or a value of the wrong type gives an error text.
SettingsChange ChangeFromJson(const QJsonObject &object, QString *error);

// Why a change cannot be encoded, in English, naming the first bad field in the window's order.
QString ChangeErrorText(const EncodedChange &encoded);

} // namespace vrxctl
