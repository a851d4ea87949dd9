// The key inputs of vrxctl and the window: a key file and a single --key. An accepted file fills all 32
// fields with hexadecimal digits only, never more than a field holds, and written out again reads back
// to the same fields; a refused one leaves no fields and its message quotes no key; accepted fields
// build a key frame whenever every key is complete.

#include "FuzzCheck.h"

#include "KeyInput.h"

#include "keys/KeyFile.h"
#include "keys/KeyFrame.h"

#include <set>

using namespace vrx;
using namespace vrxctl;

namespace {

bool IsHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// Twelve hexadecimal digits in a row would be a whole key.
bool QuotesAKey(const QString &message) {
    int run = 0;
    for (const QChar c : message) {
        run = IsHexDigit(c) ? run + 1 : 0;
        if (run >= 12)
            return true;
    }
    return false;
}

void CheckKeys(const KeyFields &keys) {
    if (!keys.ok()) {
        FUZZ_CHECK(keys.fields.isEmpty());
        FUZZ_CHECK(!QuotesAKey(keys.error));
        return;
    }
    FUZZ_CHECK(keys.fields.size() == KeyFrame::KeyFieldCount);
    bool complete = true;
    for (const QString &key : keys.fields) {
        FUZZ_CHECK(key.size() <= 12);
        FUZZ_CHECK(std::all_of(key.begin(), key.end(), IsHexDigit));
        complete = complete && key.size() == 12;
    }
    QByteArray frame;
    const KeyFrameOutcome outcome = BuildKeyFrame(keys.fields, frame);
    FUZZ_CHECK(outcome.ok == complete);
    FUZZ_CHECK(frame.size() == KeyFrame::Size && KeyFrame::hasMarkers(frame));
    if (!complete)
        return;
    for (int sector = 0; sector < KeyFrame::SectorCount; ++sector) {
        for (const bool bKey : {false, true}) {
            const QString key = keys.fields[KeyFrame::fieldOf(sector, bKey)];
            const int offset = bKey ? KeyFrame::bKeyOffset(sector) : KeyFrame::aKeyOffset(sector);
            FUZZ_CHECK(frame.mid(offset, 6) == QByteArray::fromHex(key.toLatin1()));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::Text(data, size);

    std::set<int> fields;
    for (int sector = 0; sector < KeyFrame::SectorCount; ++sector) {
        for (const bool bKey : {false, true}) {
            const int field = KeyFrame::fieldOf(sector, bKey);
            FUZZ_CHECK(field >= 0 && field < KeyFrame::KeyFieldCount && fields.insert(field).second);
        }
    }

    const KeyFields file = KeyFieldsFromFile(text);
    CheckKeys(file);
    if (file.ok())
        FUZZ_CHECK(ReadKeyFile(WriteKeyFile(file.fields)).fields == file.fields);
    const KeyFields one = KeyFieldsFromOneKey(text);
    CheckKeys(one);
    if (one.ok())
        FUZZ_CHECK(one.fields == QStringList(KeyFrame::KeyFieldCount, text.trimmed()));
    return 0;
}
