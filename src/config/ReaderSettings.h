#pragma once

#include "fields/AddressText.h"
#include "fields/HexText.h"

namespace vrx {

// Codes of the one-byte choice fields, as the reader stores them.
namespace Beep {
constexpr quint8 Silent = 0x00;
constexpr quint8 OnRead = 0xFF;
} // namespace Beep
namespace KeySource {
constexpr quint8 Command = 0x00;
constexpr quint8 Reader = 0x01;
} // namespace KeySource
namespace Protocol {
constexpr quint8 Udp = 0;
constexpr quint8 TcpServer = 1;
constexpr quint8 TcpClient = 2;
} // namespace Protocol
namespace Heartbeat {
constexpr quint8 Send = 0x00;
constexpr quint8 DoNotSend = 0xFF; // in a received block every non-zero value means "not sent"
} // namespace Heartbeat

// A reader's network and behaviour settings: what one parameter block carries.
struct ReaderSettings {
    AddressBytes readerIp{};
    AddressBytes subnetMask{};
    AddressBytes defaultGateway{};
    AddressBytes serverIp{};
    quint16 readerPort = 0;
    quint16 serverPort = 0;
    MacBytes readerMac{};
    quint8 beepOnRead = Beep::Silent;
    quint8 keySource = KeySource::Command;
    quint8 readerProtocol = Protocol::Udp;
    quint8 heartbeat = Heartbeat::Send;

    friend bool operator==(const ReaderSettings &, const ReaderSettings &) = default;
};

} // namespace vrx
