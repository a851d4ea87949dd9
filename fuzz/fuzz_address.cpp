// The address parser and what is built on it: IsAllDigits, TrimBlanks and the automatic MAC.
// Every input is compared with a plain re-reading of the dotted-text rules.

#include "FuzzCheck.h"

#include "fields/AddressText.h"
#include "fields/AutoMac.h"
#include "fields/HexText.h"

using namespace vrx;

namespace {

// The dotted-text rules read one step at a time, with the group kept as digit text.
AddressParse ReadAddressPlainly(const QString &text) {
    QString copy = text;
    while (copy.startsWith(u' '))
        copy.remove(0, 1);
    while (copy.endsWith(u' '))
        copy.chop(1);

    AddressParse result;
    QString digits;
    int count = 0;
    // The value of a digit text as a signed 16-bit conversion sees it: -1 for "above 32767".
    const auto value = [](const QString &group) {
        long long v = 0;
        for (const QChar c : group) {
            v = v * 10 + (c.unicode() - u'0');
            if (v > 32767)
                return -1LL;
        }
        return v;
    };
    const auto close = [&](const QString &group) {
        const long long v = value(group);
        if (v < 0)
            return AddressParseStatus::Overflow;
        if (v > 255)
            return AddressParseStatus::Invalid;
        result.bytes[count++] = quint8(v);
        return AddressParseStatus::Valid;
    };

    for (const QChar c : copy) {
        if (c == u'.') {
            const AddressParseStatus status = close(digits);
            if (status != AddressParseStatus::Valid) {
                result.status = status;
                return result;
            }
            digits.clear();
            if (count == 4)
                break;
        } else if (c == u' ') {
            continue;
        } else if (c >= u'0' && c <= u'9') {
            digits += c;
        } else {
            result.status = AddressParseStatus::Invalid;
            return result;
        }
    }
    if (count < 4 && !digits.isEmpty()) {
        const AddressParseStatus status = close(digits);
        if (status != AddressParseStatus::Valid) {
            result.status = status;
            return result;
        }
    }
    result.status = AddressParseStatus::Valid;
    return result;
}

bool OnlyAsciiDigits(const QString &text) {
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = fuzz::Text(data, size);
    const AddressParse parse = ParseIpAddress(text);
    const AddressParse plain = ReadAddressPlainly(text);

    FUZZ_CHECK(parse.status == plain.status);
    FUZZ_CHECK(parse.bytes == plain.bytes); // on failure too: the groups stored before it, then zeros
    FUZZ_CHECK(parse.ok() != (parse.overflowed() || parse.status == AddressParseStatus::Invalid));

    // Blanks around the text never change the outcome.
    const AddressParse padded = ParseIpAddress(QStringLiteral("  ") + text + QStringLiteral(" "));
    FUZZ_CHECK(padded.status == parse.status && padded.bytes == parse.bytes);

    if (parse.ok()) {
        // The canonical text of an accepted address reads back as the same four bytes.
        const QString dotted = DottedText(parse.bytes);
        FUZZ_CHECK(dotted.size() >= 7 && dotted.size() <= 15);
        const AddressParse again = ParseIpAddress(dotted);
        FUZZ_CHECK(again.ok() && again.bytes == parse.bytes);
        FUZZ_CHECK(DottedText(again.bytes) == dotted);
    }

    const QString trimmed = TrimBlanks(text);
    FUZZ_CHECK(!trimmed.startsWith(u' ') && !trimmed.endsWith(u' '));
    FUZZ_CHECK(text.contains(trimmed));
    FUZZ_CHECK(IsAllDigits(text) == OnlyAsciiDigits(trimmed));
    if (IsAllDigits(text) && !trimmed.isEmpty()) {
        // A lone group: at most 255 is the first byte, the rest is refused by size.
        FUZZ_CHECK(parse.bytes[1] == 0 && parse.bytes[2] == 0 && parse.bytes[3] == 0);
    }

    // The automatic MAC rule follows the parser exactly.
    const DerivedMac derived = DeriveMacFromIp(text);
    FUZZ_CHECK(derived.overflowed == parse.overflowed());
    FUZZ_CHECK(derived.mac.has_value() == parse.ok());
    if (derived.mac) {
        FUZZ_CHECK(*derived.mac == MacFromAddress(parse.bytes));
        const std::optional<MacBytes> mac = ParseMacText(*derived.mac);
        FUZZ_CHECK(mac && (*mac)[0] == 0x00 && (*mac)[1] == 0x14);
        for (int i = 0; i < 4; ++i)
            FUZZ_CHECK((*mac)[2 + i] == parse.bytes[i]);
    }
    return 0;
}
