#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace vrx {

// A key file holds the 32 keys of a reader as text, one line per sector:
//
//     # sector  A key         B key
//     0         A0A1A2A3A400  B0B1B2B3B400
//
// three items separated by blanks or tabs, sectors 0 to 15 each exactly once, in any order; "#"
// starts a comment and blank lines are skipped. A key holds at most 12 hexadecimal digits; a shorter
// one is read as it stands and left to the key download's own check. The window and vrxctl read the
// same files and word the problems each in its own language.

// What a single key's text may not hold.
enum class KeyTextProblem {
    None,
    NotHexadecimal, // a character that is not a hexadecimal digit
    TooLong,        // more than 12 hexadecimal digits
};
KeyTextProblem CheckKeyText(QStringView key);

enum class KeyFileProblem {
    None,
    ItemCount,      // `line` holds `items` items instead of three
    BadSector,      // `line` starts with something that is not a sector number from 0 to 15
    RepeatedSector, // `line` gives `sector` again, first given on `earlierLine`
    BadKey,         // `line` holds an A or B (`bKey`) key of `sector` that has `keyProblem`
    MissingSectors, // the file has no line for `missingSectors`
};

// What reading a key file found. It never holds key material apart from `fields`, so no message made
// from it can show a key.
struct KeyFileReading {
    QStringList fields;     // the 32 key field texts in TextPass order; empty unless ok()
    QList<int> sectorLines; // the line of each sector 0-15, for naming a key the download refuses
    KeyFileProblem problem = KeyFileProblem::None;
    int line = 0; // counted from 1; 0 for MissingSectors
    int items = 0;
    int sector = -1;
    bool bKey = false;
    KeyTextProblem keyProblem = KeyTextProblem::None;
    int earlierLine = 0;
    QList<int> missingSectors;
    bool ok() const { return problem == KeyFileProblem::None; }
};

// Reads the whole text before it reports anything: the first problem, by line, or all 32 fields.
// A byte order mark at the start (as Windows editors write one) is skipped.
KeyFileReading ReadKeyFile(const QString &text);

// The text of a key file holding the 32 key field texts (TextPass order), sector by sector.
QString WriteKeyFile(const QStringList &fields);

} // namespace vrx
