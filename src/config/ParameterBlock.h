#pragma once

#include "config/ReaderSettings.h"

#include <QByteArray>

namespace vrx {

// The 41-byte settings frame: a reader's answer to the query, and the configure request whose exact
// echo confirms it. Multi-byte numbers are big-endian.
//   0-3 E7 x4 | 4 reserved | 5-8 reader IP | 9-12 mask | 13-16 gateway | 17-20 server IP
//   21-22 reader port | 23-24 server port | 25-30 MAC | 31 beep | 32 key source | 33 protocol
//   34 heartbeat | 35-36 reserved | 37-40 7E x4
struct ParameterBlock {
    static constexpr int Size = 41;
    static constexpr quint8 HeadMarker = 0xE7;
    static constexpr quint8 TailMarker = 0x7E;

    enum Offset {
        ReservedOffset = 4,
        ReaderIpOffset = 5,
        SubnetMaskOffset = 9,
        DefaultGatewayOffset = 13,
        ServerIpOffset = 17,
        ReaderPortOffset = 21,
        ServerPortOffset = 23,
        ReaderMacOffset = 25,
        BeepOffset = 31,
        KeySourceOffset = 32,
        ProtocolOffset = 33,
        HeartbeatOffset = 34,
        ReservedPairOffset = 35,
        TailOffset = 37,
    };

    // Always exactly Size bytes, with both markers and zero reserved bytes.
    static QByteArray encode(const ReaderSettings &settings);
    // Decodes whatever the markers and reserved bytes hold; block must be Size bytes.
    static ReaderSettings decode(const QByteArray &block);
    // True when the block is Size bytes with E7 x4 at the head and 7E x4 at the tail.
    static bool hasMarkers(const QByteArray &block);

    // Writers of single fields into a block of Size bytes, shared by encode() and by the field-by-field
    // encoding of the target fields. putMarkers writes both markers and zeroes the reserved byte 4.
    static void putMarkers(QByteArray &block);
    static void putAddress(QByteArray &block, int offset, const AddressBytes &bytes);
    static void putPort(QByteArray &block, int offset, quint16 port);
    static void putMac(QByteArray &block, const MacBytes &mac);
};

// The fixed 8-byte read request: E6 E8 E0 E9 E3 E9 E3 E6.
QByteArray ParameterQuery();

} // namespace vrx
