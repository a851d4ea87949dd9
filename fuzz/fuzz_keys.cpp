// Key pair reading and the key frame. Input: 32 key field texts, one per line; an input without a line
// feed is typed into all 32 fields. The frame is always 200 bytes with its markers; keys are visited
// in sector order 0, 8, 1, 9, ... A before B, the first short one is named, and every key visited
// before it is already in place.

#include "FuzzCheck.h"
#include "PlainHex.h"

#include "fields/AddressText.h"
#include "keys/KeyFrame.h"
#include "words/FieldWords.h"

#include <set>

using namespace vrx;

namespace {

quint8 ReadPairPlainly(QStringView pair) {
    quint32 value = 0;
    fuzz::ForEachLeadingHexDigit(pair, [&](int digit) { value = value * 16 + quint32(digit); });
    return quint8(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::Text(data, size);
    FUZZ_CHECK(ReadHexPair(text) == ReadPairPlainly(QStringView(text).left(2)));

    const QStringList fields = text.contains(u'\n') ? text.split(u'\n') : QStringList(32, text);
    QByteArray frame(qsizetype(size % 250), char(0x5A)); // a frame left by an earlier run
    const KeyFrameOutcome outcome = BuildKeyFrame(fields, frame);

    FUZZ_CHECK(frame.size() == KeyFrame::Size);
    FUZZ_CHECK(KeyFrame::hasMarkers(frame));

    std::set<std::pair<int, bool>> places;
    QString firstShort;
    for (int j = 0; j < 8 && firstShort.isEmpty(); ++j) {
        for (const int field : {j, j + 8, j + 16, j + 24}) {
            const int sector = KeyFrame::sectorOfField(field);
            const bool bKey = KeyFrame::isBKeyField(field);
            FUZZ_CHECK(sector >= 0 && sector < KeyFrame::SectorCount);
            FUZZ_CHECK(places.insert({sector, bKey}).second); // each key has exactly one field
            const QString key = TrimBlanks(fields.value(field));
            if (key.size() < 12) {
                firstShort =
                    QStringLiteral("第%1区%2密码长度小于12！").arg(sector).arg(QChar(bKey ? u'B' : u'A'));
                break;
            }
            const int offset = bKey ? KeyFrame::bKeyOffset(sector) : KeyFrame::aKeyOffset(sector);
            FUZZ_CHECK(offset >= 4 && offset + 6 <= KeyFrame::Size - 4);
            for (int k = 0; k < 6; ++k)
                FUZZ_CHECK(quint8(frame.at(offset + k)) == ReadPairPlainly(QStringView(key).mid(2 * k, 2)));
        }
    }
    FUZZ_CHECK(outcome.ok == firstShort.isEmpty());
    FUZZ_CHECK((outcome.ok ? QString() : ShortKeyText(outcome.shortField)) == firstShort);
    if (outcome.ok) {
        FUZZ_CHECK(places.size() == 32);
        // Nothing of the earlier frame survives a complete run.
        QByteArray again(KeyFrame::Size, '\0');
        FUZZ_CHECK(BuildKeyFrame(fields, again).ok && again == frame);
    }
    return 0;
}
