#pragma once

#include "config/ReaderSettings.h"
#include "config/SettingField.h"
#include "config/TargetFields.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace vrx {

// The settings an operator asked to change, as typed (vrxctl's options, a JSON file, a batch row, or
// the window's target panel). Fields not in the map keep the reader's current value.
struct SettingsChange {
    QMap<SettingField, QString> values;

    bool isEmpty() const { return values.isEmpty(); }
    // Later values win: options given on the command line override those of --from.
    void merge(const SettingsChange &other);
    friend bool operator==(const SettingsChange &, const SettingsChange &) = default;
};

// A choice that cannot be written: a word that is not one of the field's (given is set), or a code
// outside the list that the reader holds and that was not given (code is set).
struct ChoiceProblem {
    SettingField field = SettingField::Protocol;
    QString given;
    int code = -1;
};

// What a change gives on top of the current settings.
struct EncodedChange {
    bool ok = false;
    QByteArray block;      // the 41 bytes to send, when ok
    ReaderSettings result; // block decoded, when ok
    // Why not, when !ok: the window's own problems for the first bad text field, in its order of
    // checks, or else the first choice that cannot be written.
    QList<TargetProblem> problems;
    std::optional<ChoiceProblem> choice;
};

// Builds the window's target fields from the current settings with the change applied, and checks
// and encodes them with the window's own code, so the same field is named first when several are
// wrong. A MAC of "auto" derives the MAC from the new reader address as the window's automatic box
// does. A choice code outside its list cannot be written back unchanged: it must be given.
EncodedChange EncodeChange(const ReaderSettings &current, const SettingsChange &change);

// A complete, valid set of settings to check a change against before a reader has been read.
ReaderSettings CheckingBase();

} // namespace vrx
