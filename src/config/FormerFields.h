#pragma once

#include "config/ReaderSettings.h"

#include <QString>

namespace vrx {

// What a choice box of the former group shows: a list position, or an error text in its text part
// when the reader's code is outside the list (index is then -1).
struct ChoiceDisplay {
    int index = -1;
    QString errorText;
    friend bool operator==(const ChoiceDisplay &, const ChoiceDisplay &) = default;
};

// The texts and selections that a received block puts into the former ("原IP信息") fields.
struct FormerFields {
    QString readerIp, subnetMask, defaultGateway, serverIp; // Text1(6), (7), (8), (9)
    QString readerPort, serverPort;                         // Text1(10), (11)
    QString mac;                                            // TextMac(1)
    ChoiceDisplay protocol;                                 // CombUDP(1): "数据错误"
    ChoiceDisplay heartbeat;                                // CombSend(1): never an error
    ChoiceDisplay beep;                                     // CombBeep(1): "蜂鸣器位置数据错误"
    ChoiceDisplay keySource;                                // CombPass(1): "密码选择位置数据错误"
};

// Decoding never fails on content: out-of-list codes become the error texts above.
FormerFields FormerFieldsFromSettings(const ReaderSettings &settings);

} // namespace vrx
