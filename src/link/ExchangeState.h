#pragma once

#include "config/ParameterBlock.h"
#include "keys/KeyFrame.h"

#include <QByteArray>
#include <QString>

namespace vrx {

// Outcome codes of one exchange; only the arrival handler writes them.
namespace Status {
constexpr qint16 None = 0;
constexpr qint16 ConfigureEchoed = 11;
constexpr qint16 ConfigureEchoDiffers = 12;
constexpr qint16 ParametersRead = 21;
constexpr qint16 KeysEchoed = 31;
constexpr qint16 KeyEchoDiffers = 32;
} // namespace Status

// What the operations and the arrival handler share; owned by the window, living as long as it.
struct ExchangeState {
    QByteArray ReceiveBuffer = QByteArray(ParameterBlock::Size, '\0');
    QString ReaderAddress;
    QByteArray SendBuffer = QByteArray(ParameterBlock::Size, '\0');
    QByteArray KeyFrame = QByteArray(vrx::KeyFrame::Size, '\0');
    bool KeyEchoMatched = false;
    bool ReadMode = false;
    qint16 ExchangeStatus = Status::None;
    QString LocalIp;

    friend bool operator==(const ExchangeState &, const ExchangeState &) = default;
};

// What the arrival handler made of one datagram: taken (ExchangeStatus then says as what), or ignored
// and why.
enum class DatagramVerdict : quint8 { Taken, FromThisComputer, WrongLength, WrongSender };

// Classifies one received datagram by its length and sender: ignores this computer's own LocalIp;
// 200 bytes or more is a key echo (31/32) from anyone; 41 bytes from ReaderAddress is a read reply (21)
// or a configure echo (11/12) by ReadMode; every other length changes nothing. No latching: each
// recognised datagram overwrites the status.
ExchangeState ClassifyDatagram(const QByteArray &datagram, const QString &sender, ExchangeState state);

// The same classification applied to the state itself, saying what it decided.
DatagramVerdict ClassifyDatagramInPlace(const QByteArray &datagram, const QString &sender,
                                        ExchangeState &state);

} // namespace vrx
