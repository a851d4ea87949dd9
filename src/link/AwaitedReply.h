#pragma once

#include "link/ExchangeState.h"

#include <QByteArray>
#include <QString>

namespace vrx {

// What the engine asked a reader for.
enum class Awaiting : quint8 {
    Settings, // a read, or the settings query before a write: the reader's parameter block
    Echo,     // a written parameter block, echoed
    KeyEcho,  // a key frame, echoed
};

// What became of one datagram while an exchange waited. Everything but Taken leaves the state as it
// was: the exchange goes on waiting.
enum class AwaitVerdict : quint8 {
    Taken,             // it completes the exchange; ExchangeStatus says as what
    FromThisComputer,  // sent from the local address itself
    WrongLength,       // not the length of the awaited reply
    WrongSender,       // not from the reader asked (a key echo is taken from anyone)
    LateSettingsReply, // during a write: the reader's settings again, a late answer to an earlier query
    OutsideWait,       // the exchange had ended, or had not begun, when it came
};

// The engine's stricter reading of a datagram (the window keeps ClassifyDatagram): a stray datagram
// from elsewhere, or of another length, never ends an exchange.
//  - Settings: a 41-byte datagram from ReaderAddress (21).
//  - Echo: a 41-byte datagram from ReaderAddress that is the exact echo of SendBuffer (11), or one that
//    differs (12) unless it equals `settingsReply`, the block the same command read before writing.
//  - KeyEcho: the exact echo of the 200-byte KeyFrame from any address (31); a differing frame of 200
//    bytes or more only from ReaderAddress (32).
AwaitVerdict ClassifyAwaited(Awaiting awaiting, const QByteArray &datagram, const QString &sender,
                             const QByteArray &settingsReply, ExchangeState &state);

} // namespace vrx
