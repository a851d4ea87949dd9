#include "config/TargetFields.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "fields/HexText.h"

#include <optional>

namespace vrx {

namespace {

void putByte(QByteArray &buffer, int offset, quint8 value) {
    buffer[offset] = char(value);
}

// The port rule: non-empty, ASCII digits only, value 1 to 65535. Leading zeros are allowed, and the
// value is judged on the significant digits so that a long text can never overflow.
std::optional<quint16> parsePort(const QString &field) {
    const QString text = TrimBlanks(field);
    if (text.isEmpty() || !IsAllDigits(text))
        return std::nullopt;
    qsizetype first = 0;
    while (first < text.size() && text.at(first) == u'0')
        ++first;
    const QStringView significant = QStringView(text).sliced(first);
    if (significant.isEmpty() || significant.size() > 5)
        return std::nullopt;
    const int value = significant.toInt();
    if (value < 1 || value > 65535)
        return std::nullopt;
    return quint16(value);
}

enum class FourthByte { MayBeZero, MustBeNonZero };

// One address field: an overflow adds the parser's own description before the field's message.
bool encodeAddress(const QString &field, FourthByte rule, const QString &message, int offset,
                   QByteArray &buffer, QStringList &messages) {
    const AddressParse parse = ParseIpAddress(field);
    if (parse.overflowed())
        messages << OverflowDescription();
    if (!parse.ok() || (rule == FourthByte::MustBeNonZero && parse.bytes[3] == 0)) {
        messages << message;
        return false;
    }
    ParameterBlock::putAddress(buffer, offset, parse.bytes);
    return true;
}

bool encodePort(const QString &field, const QString &message, int offset, QByteArray &buffer,
                QStringList &messages) {
    const std::optional<quint16> port = parsePort(field);
    if (!port) {
        messages << message;
        return false;
    }
    ParameterBlock::putPort(buffer, offset, *port);
    return true;
}

EncodeOutcome refused(QStringList messages) {
    return {false, std::move(messages)};
}

} // namespace

EncodeOutcome EncodeTargetFields(const TargetFields &fields, QByteArray &sendBuffer) {
    sendBuffer.resize(ParameterBlock::Size, '\0'); // a buffer of any other size is cut or zero-padded
    ParameterBlock::putMarkers(sendBuffer);

    QStringList messages;
    if (!encodeAddress(fields.readerIp, FourthByte::MustBeNonZero, QStringLiteral("请输入正确的本机地址"),
                       ParameterBlock::ReaderIpOffset, sendBuffer, messages) ||
        !encodeAddress(fields.subnetMask, FourthByte::MayBeZero, QStringLiteral("请输入正确的子网掩码"),
                       ParameterBlock::SubnetMaskOffset, sendBuffer, messages) ||
        !encodeAddress(fields.defaultGateway, FourthByte::MustBeNonZero,
                       QStringLiteral("请输入正确的默认网关"), ParameterBlock::DefaultGatewayOffset,
                       sendBuffer, messages) ||
        !encodeAddress(fields.serverIp, FourthByte::MustBeNonZero, QStringLiteral("请输入正确服务器计算机IP"),
                       ParameterBlock::ServerIpOffset, sendBuffer, messages) ||
        !encodePort(fields.readerPort, QStringLiteral("请输入1-65535之间的读卡器端口号"),
                    ParameterBlock::ReaderPortOffset, sendBuffer, messages) ||
        !encodePort(fields.serverPort, QStringLiteral("请输入1-65535之间的服务器计算机端口号"),
                    ParameterBlock::ServerPortOffset, sendBuffer, messages)) {
        return refused(messages);
    }

    const std::optional<MacBytes> mac = ParseMacText(fields.mac);
    if (!mac)
        return refused({QStringLiteral("请输入正确的读卡器MAC")});
    ParameterBlock::putMac(sendBuffer, *mac);

    putByte(sendBuffer, ParameterBlock::BeepOffset, fields.beepIndex == 0 ? Beep::Silent : Beep::OnRead);
    putByte(sendBuffer, ParameterBlock::KeySourceOffset,
            fields.keySourceIndex == 0 ? KeySource::Command : KeySource::Reader);
    // Typed text in the protocol box has no code: a run-time failure, and nothing may be sent.
    if (fields.protocolIndex < Protocol::Udp || fields.protocolIndex > Protocol::TcpClient)
        return refused({QStringLiteral("读卡器协议不是列表中的一项，无法设置")});
    putByte(sendBuffer, ParameterBlock::ProtocolOffset, quint8(fields.protocolIndex));
    // List position 0 is "不发送"; any other position, typed text included, sends the heartbeat.
    putByte(sendBuffer, ParameterBlock::HeartbeatOffset,
            fields.heartbeatIndex == 0 ? Heartbeat::DoNotSend : Heartbeat::Send);
    putByte(sendBuffer, ParameterBlock::ReservedPairOffset, 0x00);
    putByte(sendBuffer, ParameterBlock::ReservedPairOffset + 1, 0x00);
    return {true, {}};
}

} // namespace vrx
