#include "fields/HexText.h"

#include "fields/AddressText.h"

#include <limits>

namespace vrx {

namespace {

bool isSkippedBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n';
}

} // namespace

int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

quint32 ReadHexNumber(QStringView text) {
    constexpr quint32 Max = std::numeric_limits<quint32>::max();
    quint32 value = 0;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (isSkippedBlank(code))
            continue;
        const int digit = HexDigitValue(code);
        if (digit < 0)
            break;
        value = value > (Max >> 4) ? Max : (value << 4) | quint32(digit);
    }
    return value;
}

std::optional<MacBytes> ParseMacText(const QString &text) {
    const QString trimmed = TrimBlanks(text);
    MacBytes bytes{}; // a trailing "-" leaves the sixth byte at 0x00
    int dashes = 0;
    qsizetype groupStart = 0;

    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (trimmed.at(i) != u'-')
            continue;
        ++dashes;
        if (dashes > 5)
            return std::nullopt; // a seventh group has no byte to go to
        const quint32 value = ReadHexNumber(QStringView(trimmed).sliced(groupStart, i - groupStart));
        if (value > 0xFF)
            return std::nullopt;
        bytes[dashes - 1] = quint8(value);
        groupStart = i + 1;
    }

    if (groupStart < trimmed.size()) {
        const quint32 value = ReadHexNumber(QStringView(trimmed).sliced(groupStart));
        if (value > 0xFF)
            return std::nullopt;
        bytes[dashes] = quint8(value);
    }
    if (dashes < 5)
        return std::nullopt;
    return bytes;
}

QString MacText(const MacBytes &bytes) {
    QString text;
    text.reserve(17);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += u'-';
        text += ByteToHex(bytes[i]);
    }
    return text;
}

QString MacFromAddress(const std::array<quint8, 4> &address) {
    return MacText({0x00, 0x14, address[0], address[1], address[2], address[3]});
}

} // namespace vrx
