// The MAC walk and its hexadecimal group reading, against a plain re-reading of the rules: groups
// split at "-", each read as its leading hexadecimal digits with blanks, tabs and line feeds skipped.

#include "FuzzCheck.h"
#include "PlainHex.h"

#include "fields/AddressText.h"
#include "fields/HexText.h"
#include "keys/KeyFrame.h"

using namespace vrx;

namespace {

// Leading hexadecimal digits, blanks skipped; anything at or above 2^32 reads as the largest value.
quint64 ReadHexPlainly(QStringView text) {
    quint64 value = 0;
    fuzz::ForEachLeadingHexDigit(
        text, [&](int digit) { value = std::min<quint64>(value * 16 + quint64(digit), 0xFFFFFFFFull); });
    return value;
}

// Exactly five "-", every group below 256; an empty group (a trailing "-" too) is 0x00.
std::optional<MacBytes> ReadMacPlainly(const QString &text) {
    const QStringList groups = TrimBlanks(text).split(u'-');
    if (groups.size() != 6)
        return std::nullopt;
    MacBytes bytes{};
    for (int i = 0; i < 6; ++i) {
        const quint64 value = ReadHexPlainly(groups[i]);
        if (value > 0xFF)
            return std::nullopt;
        bytes[i] = quint8(value);
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::Text(data, size);

    FUZZ_CHECK(ReadHexNumber(text) == ReadHexPlainly(text));
    FUZZ_CHECK(ReadHexPair(text) == std::min<quint64>(ReadHexPlainly(QStringView(text).left(2)), 0xFF));

    const std::optional<MacBytes> mac = ParseMacText(text);
    const std::optional<MacBytes> plain = ReadMacPlainly(text);
    FUZZ_CHECK(mac.has_value() == plain.has_value());
    if (mac) {
        FUZZ_CHECK(*mac == *plain);
        // The written form is always 17 characters and reads back as the same six bytes.
        const QString written = MacText(*mac);
        FUZZ_CHECK(written.size() == 17);
        const std::optional<MacBytes> again = ParseMacText(written);
        FUZZ_CHECK(again && *again == *mac);
    }
    return 0;
}
