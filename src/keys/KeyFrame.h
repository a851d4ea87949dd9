#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

namespace vrx {

// The 200-byte key download frame: E1 x4, then for each sector s its A key at 4 + 12s and its B key
// at 10 + 12s, then 1E x4. The reader confirms by echoing the first 200 bytes.
struct KeyFrame {
    static constexpr int Size = 200;
    static constexpr int SectorCount = 16;
    static constexpr int KeyFieldCount = 32;
    static constexpr int KeyDigits = 12; // a key as text: six bytes in hexadecimal
    static constexpr quint8 StartMarker = 0xE1;
    static constexpr quint8 EndMarker = 0x1E;

    static int aKeyOffset(int sector) { return 4 + 12 * sector; }
    static int bKeyOffset(int sector) { return 10 + 12 * sector; }
    // Key field TextPass(i): j = i % 8; i/8 == 0: A of j, 1: B of j, 2: A of j+8, 3: B of j+8.
    static int sectorOfField(int field);
    static bool isBKeyField(int field);
    // The key field TextPass(i) that holds a sector's A or B key; the inverse of the two above.
    static int fieldOf(int sector, bool bKey);
    // The fields in the order the download reads them: sectors 0, 8, 1, 9, ... 7, 15, A before B.
    static const std::array<int, KeyFieldCount> &downloadOrder();
    static bool hasMarkers(const QByteArray &frame);
};

struct KeyFrameOutcome {
    bool ok = false;
    int shortField = -1; // when !ok: the key field whose trimmed text is shorter than 12 characters
};

// Fills keyFrame (resized to 200 bytes) from the 32 key field texts, visiting sectors 0, 8, 1, 9, ...
// A before B; stops at the first short key, leaving what was written so far.
KeyFrameOutcome BuildKeyFrame(const QStringList &keyFields, QByteArray &keyFrame);

// Two characters of a key text as one byte; upper and lower case read alike.
quint8 ReadHexPair(QStringView pair);

} // namespace vrx
