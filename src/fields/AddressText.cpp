#include "fields/AddressText.h"

#include <QCoreApplication>

namespace vrx {

namespace {

// A group is held as a number, not as text: digits are folded in as they come and the value is capped
// just above the 16-bit limit, so a group of any length costs nothing and cannot wrap.
constexpr int OverflowLimit = 32767;

class GroupAccumulator {
public:
    void addDigit(int digit) {
        m_empty = false;
        if (m_value <= OverflowLimit)
            m_value = m_value * 10 + digit;
    }
    bool isEmpty() const { return m_empty; }
    int value() const { return m_value; } // > OverflowLimit means overflowed
    void clear() {
        m_value = 0;
        m_empty = true;
    }

private:
    int m_value = 0;
    bool m_empty = true;
};

// The status of converting one group: the 16-bit conversion overflows before the byte range is checked.
AddressParseStatus checkGroup(int value) {
    if (value > OverflowLimit)
        return AddressParseStatus::Overflow;
    if (value > 255)
        return AddressParseStatus::Invalid;
    return AddressParseStatus::Valid;
}

} // namespace

AddressParse ParseIpAddress(const QString &text) {
    const QString copy = TrimBlanks(text);
    AddressParse result;
    GroupAccumulator group;
    int stored = 0;

    for (const QChar c : copy) {
        const char16_t code = c.unicode();
        if (code == u'.') {
            const AddressParseStatus status = checkGroup(group.value());
            if (status != AddressParseStatus::Valid) {
                result.status = status;
                return result;
            }
            result.bytes[stored++] = quint8(group.value());
            group.clear();
            if (stored == 4)
                break; // whatever follows the fourth "." is not read
        } else if (code == u' ') {
            continue; // digits on both sides of a blank join into one group
        } else if (code >= u'0' && code <= u'9') {
            group.addDigit(code - u'0');
        } else {
            result.status = AddressParseStatus::Invalid;
            return result;
        }
    }

    if (stored < 4 && !group.isEmpty()) {
        const AddressParseStatus status = checkGroup(group.value());
        if (status != AddressParseStatus::Valid) {
            result.status = status;
            return result;
        }
        result.bytes[stored++] = quint8(group.value());
    }
    // Missing groups stay 0 (the bytes start zeroed).
    result.status = AddressParseStatus::Valid;
    return result;
}

QString ByteToHex(quint8 value) {
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    const QChar pair[2] = {QChar(Digits[value >> 4]), QChar(Digits[value & 0x0F])};
    return QString(pair, 2);
}

bool IsAllDigits(const QString &text) {
    const QString trimmed = TrimBlanks(text);
    for (const QChar c : trimmed) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

QString DottedText(const AddressBytes &bytes) {
    // Written digit by digit into one buffer: every datagram's sender and every read are put into
    // words, and chained arg() calls or QHostAddress::toString() cost more than taking the datagram.
    char16_t text[15];
    qsizetype length = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text[length++] = u'.';
        const uint value = bytes[i];
        if (value >= 100)
            text[length++] = char16_t(u'0' + value / 100);
        if (value >= 10)
            text[length++] = char16_t(u'0' + value / 10 % 10);
        text[length++] = char16_t(u'0' + value % 10);
    }
    return QString(reinterpret_cast<const QChar *>(text), length);
}

QString OverflowDescription() {
    // Worded in the catalogue of the shared words (translations/words_en.ts), as src/words does.
    return QCoreApplication::translate("vrx::FieldWords", "数值溢出");
}

QString TrimBlanks(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace vrx
