#pragma once

#include "config/ReaderSettings.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <utility>

namespace vrxctl {

// The eleven settings of a parameter block, in the order the JSON output lists them.
enum class SettingField {
    ReaderIp,
    SubnetMask,
    Gateway,
    ReaderPort,
    ServerIp,
    ServerPort,
    Mac,
    Protocol,
    Heartbeat,
    Beep,
    KeySource,
};

struct SettingName {
    SettingField field;
    const char *option;  // configure's option and batch's column: "server-ip"
    const char *jsonKey; // "server_ip"
    const char *label;   // "Server IP"
};

const std::array<SettingName, 11> &SettingNames();
const SettingName &NameOf(SettingField field);

// The words of the choice fields, by the list position the window shows: protocol udp/tcp-server/
// tcp-client, heartbeat off/on, beep off/on, key source command/reader.
QStringList ChoiceWords(SettingField field);
// The list position of a word (case-insensitive), -1 when it is not one of them.
int ChoiceIndex(SettingField field, const QString &word);

// A field as text: dotted addresses, decimal ports, the MAC in its 17-character form, choices as
// words, and a code outside its list as its decimal number.
QString FieldText(const vrx::ReaderSettings &settings, SettingField field);

// One object with the eleven keys; ports as numbers, choice codes outside their list as numbers.
QJsonObject SettingsJson(const vrx::ReaderSettings &settings);

// The same members in the order above, and as indented JSON text in that order (QJsonDocument
// would sort the keys). indent is the indentation of the object's own braces.
using JsonMembers = QList<std::pair<QString, QJsonValue>>;
JsonMembers SettingsJsonMembers(const vrx::ReaderSettings &settings);
QString JsonObjectText(const JsonMembers &members, int indent = 0);

// A readable two-column table, one line per field.
QString SettingsTable(const vrx::ReaderSettings &settings);

// "port 1234 -> 80" for each field that differs.
QStringList SettingsDifferences(const vrx::ReaderSettings &before, const vrx::ReaderSettings &after);

// Fields whose values differ.
QList<SettingField> DifferingFields(const vrx::ReaderSettings &a, const vrx::ReaderSettings &b);

} // namespace vrxctl
