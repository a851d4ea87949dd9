#pragma once

#include <QObject>

namespace vrx {

// How long an operation waits for its reply, in milliseconds: it gives up once more than this has
// passed since the tick reading taken just before the send.
constexpr qint64 ReplyWaitMs = 200;

// The only clock of the exchanges: a monotonic millisecond tick counter (stands in for timeGetTime;
// never jumps with the wall clock). Only differences of two readings mean anything.
qint64 TickCount();

enum class WaitOutcome {
    StatusSet,      // status became non-zero
    TimedOut,       // more than ReplyWaitMs passed with status still 0
    OwnerDestroyed, // owner was destroyed while the window's events ran; status must not be read
};

// Lets the thread's events run (datagrams, window events) until status is non-zero or more than
// ReplyWaitMs have passed since startTime (a TickCount() reading). After two passes over what is
// already there the thread sleeps between events, woken by a single-shot deadline timer, so a wait
// without a reply costs next to no CPU.
// status usually lives in owner (the window's ExchangeStatus); when owner is given and is destroyed
// during the wait (the window closed), the wait returns OwnerDestroyed at once without reading status.
WaitOutcome WaitForReply(qint64 startTime, const qint16 &status, QObject *owner = nullptr);

} // namespace vrx
