#include "config/ParameterBlock.h"

#include <algorithm>

namespace vrx {

namespace {

constexpr int HeadSize = 4;

quint8 byteAt(const QByteArray &block, int offset) {
    return quint8(block.at(offset));
}

AddressBytes addressAt(const QByteArray &block, int offset) {
    return {byteAt(block, offset), byteAt(block, offset + 1), byteAt(block, offset + 2),
            byteAt(block, offset + 3)};
}

quint16 portAt(const QByteArray &block, int offset) {
    return quint16(byteAt(block, offset) << 8 | byteAt(block, offset + 1));
}

} // namespace

void ParameterBlock::putMarkers(QByteArray &block) {
    for (int i = 0; i < HeadSize; ++i) {
        block[i] = char(HeadMarker);
        block[TailOffset + i] = char(TailMarker);
    }
    block[ReservedOffset] = '\0';
}

void ParameterBlock::putAddress(QByteArray &block, int offset, const AddressBytes &bytes) {
    for (int i = 0; i < 4; ++i)
        block[offset + i] = char(bytes[i]);
}

void ParameterBlock::putPort(QByteArray &block, int offset, quint16 port) {
    block[offset] = char(port >> 8);
    block[offset + 1] = char(port & 0xFF);
}

void ParameterBlock::putMac(QByteArray &block, const MacBytes &mac) {
    for (int i = 0; i < 6; ++i)
        block[ReaderMacOffset + i] = char(mac[i]);
}

QByteArray ParameterBlock::encode(const ReaderSettings &settings) {
    QByteArray block(Size, '\0');
    putMarkers(block);
    putAddress(block, ReaderIpOffset, settings.readerIp);
    putAddress(block, SubnetMaskOffset, settings.subnetMask);
    putAddress(block, DefaultGatewayOffset, settings.defaultGateway);
    putAddress(block, ServerIpOffset, settings.serverIp);
    putPort(block, ReaderPortOffset, settings.readerPort);
    putPort(block, ServerPortOffset, settings.serverPort);
    putMac(block, settings.readerMac);
    block[BeepOffset] = char(settings.beepOnRead);
    block[KeySourceOffset] = char(settings.keySource);
    block[ProtocolOffset] = char(settings.readerProtocol);
    block[HeartbeatOffset] = char(settings.heartbeat);
    return block;
}

ReaderSettings ParameterBlock::decode(const QByteArray &input) {
    // A short block is read as if zero-padded rather than read past its end.
    QByteArray block = input.left(Size);
    if (block.size() < Size)
        block.append(QByteArray(Size - block.size(), '\0'));

    ReaderSettings settings;
    settings.readerIp = addressAt(block, ReaderIpOffset);
    settings.subnetMask = addressAt(block, SubnetMaskOffset);
    settings.defaultGateway = addressAt(block, DefaultGatewayOffset);
    settings.serverIp = addressAt(block, ServerIpOffset);
    settings.readerPort = portAt(block, ReaderPortOffset);
    settings.serverPort = portAt(block, ServerPortOffset);
    for (int i = 0; i < 6; ++i)
        settings.readerMac[i] = byteAt(block, ReaderMacOffset + i);
    settings.beepOnRead = byteAt(block, BeepOffset);
    settings.keySource = byteAt(block, KeySourceOffset);
    settings.readerProtocol = byteAt(block, ProtocolOffset);
    settings.heartbeat = byteAt(block, HeartbeatOffset);
    return settings;
}

bool ParameterBlock::hasMarkers(const QByteArray &block) {
    if (block.size() != Size)
        return false;
    const auto head = block.first(HeadSize);
    const auto tail = block.sliced(TailOffset);
    return std::all_of(head.begin(), head.end(), [](char c) { return quint8(c) == HeadMarker; }) &&
           std::all_of(tail.begin(), tail.end(), [](char c) { return quint8(c) == TailMarker; });
}

QByteArray ParameterQuery() {
    static constexpr char Query[] = {char(0xE6), char(0xE8), char(0xE0), char(0xE9),
                                     char(0xE3), char(0xE9), char(0xE3), char(0xE6)};
    return QByteArray(Query, sizeof Query);
}

} // namespace vrx
