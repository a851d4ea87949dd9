#pragma once

#include "config/ReaderSettings.h"
#include "config/TargetFields.h"

#include <QByteArray>

// The window's start-up target values and the 41 bytes they encode to.
namespace vrx::test {

inline QByteArray workedExampleBlock() {
    return QByteArray::fromHex("E7E7E7E7 00 C0A80065 FFFFFF00 C0A80001 C0A8006E 04D2 04D2"
                               " 0014C0A80065 FF 00 00 00 0000 7E7E7E7E");
}

inline ReaderSettings workedExampleSettings() {
    ReaderSettings s;
    s.readerIp = {192, 168, 0, 101};
    s.subnetMask = {255, 255, 255, 0};
    s.defaultGateway = {192, 168, 0, 1};
    s.serverIp = {192, 168, 0, 110};
    s.readerPort = 1234;
    s.serverPort = 1234;
    s.readerMac = {0x00, 0x14, 0xC0, 0xA8, 0x00, 0x65};
    s.beepOnRead = Beep::OnRead;
    s.keySource = KeySource::Command;
    s.readerProtocol = Protocol::Udp;
    s.heartbeat = Heartbeat::Send;
    return s;
}

inline TargetFields workedExampleFields() {
    TargetFields f;
    f.readerIp = QStringLiteral("192.168.0.101");
    f.subnetMask = QStringLiteral("255.255.255.0");
    f.defaultGateway = QStringLiteral("192.168.0.1");
    f.serverIp = QStringLiteral("192.168.0.110");
    f.readerPort = QStringLiteral("1234");
    f.serverPort = QStringLiteral("1234");
    f.mac = QStringLiteral("00-14-C0-A8-00-65");
    f.protocolIndex = 0;  // "UDP"
    f.heartbeatIndex = 1; // "发送"
    f.beepIndex = 1;      // "发声"
    f.keySourceIndex = 0; // "命令中的密码"
    return f;
}

} // namespace vrx::test
