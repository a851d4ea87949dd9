#pragma once

#include <QString>

// A complete key file as an operator might keep one: a comment, a blank line, then sector s on line
// s + 3 with the A key A0A1A2A3A4ss and the B key B0B1B2B3B4ss (ss: s as two hexadecimal digits),
// each line with a comment of its own.
inline QString SampleKeyFile() {
    QString text = "# keys of the front door readers\n\n";
    for (int s = 0; s < 16; ++s)
        text +=
            QStringLiteral("%1 A0A1A2A3A4%2 B0B1B2B3B4%2  # sector %1\n").arg(s).arg(s, 2, 16, QChar('0'));
    return text;
}

// The keys of sector s in SampleKeyFile().
inline QString SampleAKey(int sector) {
    return QStringLiteral("A0A1A2A3A4%1").arg(sector, 2, 16, QChar('0'));
}
inline QString SampleBKey(int sector) {
    return QStringLiteral("B0B1B2B3B4%1").arg(sector, 2, 16, QChar('0'));
}
