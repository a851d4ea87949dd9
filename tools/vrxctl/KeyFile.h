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

// A key file: one line per sector, "sector A-key B-key" separated by blanks, sectors 0 to 15 each
// exactly once; "#" starts a comment, blank lines are skipped.
KeyFields KeyFieldsFromFile(const QString &text);

// The field that holds a sector's A or B key.
int KeyFieldIndex(int sector, bool bKey);

} // namespace vrxctl
