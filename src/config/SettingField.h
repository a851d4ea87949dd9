#pragma once

#include "config/ReaderSettings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace vrx {

// The eleven settings of a parameter block, in the order vrxctl read --json lists them.
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

// The names scripts know a setting by. No name is ever renamed: scripts read them.
struct SettingName {
    SettingField field;
    const char *option;  // vrxctl configure's option and batch's column: "server-ip"
    const char *jsonKey; // read --json's key and the scan CSV's column: "server_ip"
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
QString FieldText(const ReaderSettings &settings, SettingField field);

// Fields whose values differ.
QList<SettingField> DifferingFields(const ReaderSettings &a, const ReaderSettings &b);

// "port 1234 -> 80" for each field that differs.
QStringList SettingsDifferences(const ReaderSettings &before, const ReaderSettings &after);

} // namespace vrx
