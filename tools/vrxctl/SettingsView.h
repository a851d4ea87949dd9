#pragma once

#include "config/ReaderSettings.h"
#include "config/SettingField.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace vrxctl {

using vrx::ChoiceIndex;
using vrx::ChoiceWords;
using vrx::DifferingFields;
using vrx::FieldText;
using vrx::NameOf;
using vrx::SettingField;
using vrx::SettingName;
using vrx::SettingNames;
using vrx::SettingsDifferences;

// One object with the eleven keys; ports as numbers, choice codes outside their list as numbers.
QJsonObject SettingsJson(const vrx::ReaderSettings &settings);

// The same members in the order above, and as indented JSON text in that order (QJsonDocument
// would sort the keys). indent is the indentation of the object's own braces.
using JsonMembers = QList<std::pair<QString, QJsonValue>>;
JsonMembers SettingsJsonMembers(const vrx::ReaderSettings &settings);
QString JsonObjectText(const JsonMembers &members, int indent = 0);

// A readable two-column table, one line per field.
QString SettingsTable(const vrx::ReaderSettings &settings);

} // namespace vrxctl
