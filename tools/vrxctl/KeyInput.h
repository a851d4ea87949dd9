#pragma once

#include <QString>
#include <QStringList>

namespace vrxctl {

// The 32 key field texts in the window's order (TextPass(0) to TextPass(31)), ready for BuildKeyFrame.
struct KeyFields {
    QStringList fields;
    QString error; // never quotes a key: only line numbers and what is wrong
    bool ok() const { return error.isEmpty(); }
};

// One key for all 32 fields: twelve hexadecimal digits.
KeyFields KeyFieldsFromOneKey(const QString &key);

// A key file (see keys/KeyFile.h), its problem worded in English.
KeyFields KeyFieldsFromFile(const QString &text);

} // namespace vrxctl
