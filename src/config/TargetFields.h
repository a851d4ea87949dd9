#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace vrx {

// The operator's target fields (the window's target panel) as the window holds them, untrimmed.
struct TargetFields {
    QString readerIp;       // Text1(0)
    QString subnetMask;     // Text1(1)
    QString defaultGateway; // Text1(2)
    QString serverIp;       // Text1(3)
    QString readerPort;     // Text1(4)
    QString serverPort;     // Text1(5)
    QString mac;            // TextMac(0)
    int protocolIndex = 0;  // CombUDP(0) selection, -1 when the operator typed text
    int heartbeatIndex = 1; // CombSend(0)
    int beepIndex = 1;      // CombBeep(0)
    int keySourceIndex = 0; // CombPass(0)
};

// What stopped the encoding: a field that failed its check, a number that overflowed on the way, or
// a protocol that is not an item of the list. The front end words them (src/words).
enum class TargetProblem {
    NumberOverflow, // an address group above 32767: reported before the field it is in
    ReaderIp,
    SubnetMask,
    DefaultGateway,
    ServerIp,
    ReaderPort,
    ServerPort,
    Mac,
    Protocol,
};

// Outcome of checking and encoding the target fields.
struct EncodeOutcome {
    bool ok = false;
    // The problems to report, in order, when !ok: a field, possibly preceded by NumberOverflow, or
    // Protocol for an unselected protocol.
    QList<TargetProblem> problems;
};

// Checks the fields in the fixed order (reader IP, mask, gateway, server IP, reader port, server port,
// MAC, then the four choices) and writes each one into sendBuffer (resized to 41 bytes) as it passes,
// so a run stopped by a check leaves it partly rewritten. On success every byte was written by this run.
EncodeOutcome EncodeTargetFields(const TargetFields &fields, QByteArray &sendBuffer);

} // namespace vrx
