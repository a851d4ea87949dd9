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

using Problems = QList<TargetProblem>;

// One address field: an overflow is reported before the field's own problem.
bool encodeAddress(const QString &field, FourthByte rule, TargetProblem problem, int offset,
                   QByteArray &buffer, Problems &problems) {
    const AddressParse parse = ParseIpAddress(field);
    if (parse.overflowed())
        problems << TargetProblem::NumberOverflow;
    if (!parse.ok() || (rule == FourthByte::MustBeNonZero && parse.bytes[3] == 0)) {
        problems << problem;
        return false;
    }
    ParameterBlock::putAddress(buffer, offset, parse.bytes);
    return true;
}

bool encodePort(const QString &field, TargetProblem problem, int offset, QByteArray &buffer,
                Problems &problems) {
    const std::optional<quint16> port = parsePort(field);
    if (!port) {
        problems << problem;
        return false;
    }
    ParameterBlock::putPort(buffer, offset, *port);
    return true;
}

EncodeOutcome refused(Problems problems) {
    return {false, std::move(problems)};
}

} // namespace

EncodeOutcome EncodeTargetFields(const TargetFields &fields, QByteArray &sendBuffer) {
    sendBuffer.resize(ParameterBlock::Size, '\0'); // a buffer of any other size is cut or zero-padded
    ParameterBlock::putMarkers(sendBuffer);

    Problems problems;
    if (!encodeAddress(fields.readerIp, FourthByte::MustBeNonZero, TargetProblem::ReaderIp,
                       ParameterBlock::ReaderIpOffset, sendBuffer, problems) ||
        !encodeAddress(fields.subnetMask, FourthByte::MayBeZero, TargetProblem::SubnetMask,
                       ParameterBlock::SubnetMaskOffset, sendBuffer, problems) ||
        !encodeAddress(fields.defaultGateway, FourthByte::MustBeNonZero, TargetProblem::DefaultGateway,
                       ParameterBlock::DefaultGatewayOffset, sendBuffer, problems) ||
        !encodeAddress(fields.serverIp, FourthByte::MustBeNonZero, TargetProblem::ServerIp,
                       ParameterBlock::ServerIpOffset, sendBuffer, problems) ||
        !encodePort(fields.readerPort, TargetProblem::ReaderPort, ParameterBlock::ReaderPortOffset,
                    sendBuffer, problems) ||
        !encodePort(fields.serverPort, TargetProblem::ServerPort, ParameterBlock::ServerPortOffset,
                    sendBuffer, problems)) {
        return refused(problems);
    }

    const std::optional<MacBytes> mac = ParseMacText(fields.mac);
    if (!mac)
        return refused({TargetProblem::Mac});
    ParameterBlock::putMac(sendBuffer, *mac);

    putByte(sendBuffer, ParameterBlock::BeepOffset, fields.beepIndex == 0 ? Beep::Silent : Beep::OnRead);
    putByte(sendBuffer, ParameterBlock::KeySourceOffset,
            fields.keySourceIndex == 0 ? KeySource::Command : KeySource::Reader);
    // Typed text in the protocol box has no code: a run-time failure, and nothing may be sent.
    if (fields.protocolIndex < Protocol::Udp || fields.protocolIndex > Protocol::TcpClient)
        return refused({TargetProblem::Protocol});
    putByte(sendBuffer, ParameterBlock::ProtocolOffset, quint8(fields.protocolIndex));
    // List position 0 sends no heartbeat; any other position, typed text included, sends it.
    putByte(sendBuffer, ParameterBlock::HeartbeatOffset,
            fields.heartbeatIndex == 0 ? Heartbeat::DoNotSend : Heartbeat::Send);
    putByte(sendBuffer, ParameterBlock::ReservedPairOffset, 0x00);
    putByte(sendBuffer, ParameterBlock::ReservedPairOffset + 1, 0x00);
    return {true, {}};
}

} // namespace vrx
