#pragma once

#include "SettingsView.h"

#include "config/ReaderSettings.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QString>

namespace vrxctl {

// The settings an operator asked to change, as typed (options, a JSON file or a batch row).
// Fields not in the map keep the reader's current value.
struct SettingsChange {
    QMap<SettingField, QString> values;

    bool isEmpty() const { return values.isEmpty(); }
    // Later values win: options given on the command line override those of --from.
    void merge(const SettingsChange &other);
    friend bool operator==(const SettingsChange &, const SettingsChange &) = default;
};

// Reads an object with the keys of `read --json`. Ports may be numbers or texts, choices words.
// An unknown key or a value of the wrong type gives an error text.
SettingsChange ChangeFromJson(const QJsonObject &object, QString *error);

// What a change gives on top of the current settings.
struct EncodedChange {
    bool ok = false;
    QByteArray block;           // the 41 bytes to send, when ok
    vrx::ReaderSettings result; // block decoded, when ok
    QString error;              // English, naming the first bad field in the window's order
};

// Builds the window's target fields from the current settings with the change applied, and checks
// and encodes them with the window's own code, so the same field is named first when several are
// wrong. "--mac auto" derives the MAC from the new reader address as the window's automatic box does.
// A choice code outside its list cannot be written back unchanged: it must be given.
EncodedChange EncodeChange(const vrx::ReaderSettings &current, const SettingsChange &change);

// A complete, valid set of settings to check a change against before a reader has been read.
vrx::ReaderSettings CheckingBase();

} // namespace vrxctl
