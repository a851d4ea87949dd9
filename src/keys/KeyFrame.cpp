#include "keys/KeyFrame.h"

#include "fields/AddressText.h"
#include "fields/HexText.h"

#include <algorithm>

namespace vrx {

namespace {

constexpr int MarkerSize = 4;
constexpr int EndOffset = KeyFrame::Size - MarkerSize;
constexpr int KeyBytes = KeyFrame::KeyDigits / 2;

} // namespace

int KeyFrame::sectorOfField(int field) {
    const int column = field / 8; // 0: A of j, 1: B of j, 2: A of j+8, 3: B of j+8
    return field % 8 + (column >= 2 ? 8 : 0);
}

bool KeyFrame::isBKeyField(int field) {
    return (field / 8) % 2 == 1;
}

int KeyFrame::fieldOf(int sector, bool bKey) {
    return sector % 8 + (sector >= 8 ? 16 : 0) + (bKey ? 8 : 0);
}

const std::array<int, KeyFrame::KeyFieldCount> &KeyFrame::downloadOrder() {
    static const std::array<int, KeyFieldCount> order = [] {
        std::array<int, KeyFieldCount> fields{};
        for (int j = 0; j < 8; ++j)
            for (int quarter = 0; quarter < 4; ++quarter)
                fields[4 * j + quarter] = j + 8 * quarter;
        return fields;
    }();
    return order;
}

bool KeyFrame::hasMarkers(const QByteArray &frame) {
    if (frame.size() < Size)
        return false;
    const auto start = frame.first(MarkerSize);
    const auto end = frame.sliced(EndOffset, MarkerSize);
    return std::all_of(start.begin(), start.end(), [](char c) { return quint8(c) == StartMarker; }) &&
           std::all_of(end.begin(), end.end(), [](char c) { return quint8(c) == EndMarker; });
}

quint8 ReadHexPair(QStringView pair) {
    // Only the first two characters are read, and two hexadecimal digits never exceed 0xFF.
    return quint8(ReadHexNumber(pair.left(2)));
}

KeyFrameOutcome BuildKeyFrame(const QStringList &keyFields, QByteArray &keyFrame) {
    keyFrame.resize(KeyFrame::Size, '\0'); // a frame of any other size is cut or zero-padded
    for (int i = 0; i < MarkerSize; ++i) {
        keyFrame[i] = char(KeyFrame::StartMarker);
        keyFrame[EndOffset + i] = char(KeyFrame::EndMarker);
    }

    // Sectors are visited 0, 8, 1, 9, ... so the first short key reported follows that order.
    for (const int field : KeyFrame::downloadOrder()) {
        const int sector = KeyFrame::sectorOfField(field);
        const bool bKey = KeyFrame::isBKeyField(field);
        const QString text = TrimBlanks(keyFields.value(field));
        if (text.size() < KeyFrame::KeyDigits)
            return {false, field};
        const int offset = bKey ? KeyFrame::bKeyOffset(sector) : KeyFrame::aKeyOffset(sector);
        for (int k = 0; k < KeyBytes; ++k)
            keyFrame[offset + k] = char(ReadHexPair(QStringView(text).sliced(2 * k, 2)));
    }
    return {true, -1};
}

} // namespace vrx
