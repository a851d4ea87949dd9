#pragma once

#include "config/ReaderSettings.h"

#include <QByteArray>
#include <QString>

namespace vrx {

// Misbehaviours a simulated reader can be told to show, for tests and demonstrations.
struct ReaderFaults {
    int delayMs = 0;     // answer this many milliseconds late
    bool silent = false; // record what arrives, answer nothing, change nothing
    bool corruptEcho =
        false;            // flip every bit of the last byte of each echo (the settings/keys are still taken)
    int replyLength = -1; // cut or zero-pad every reply to this length; -1 keeps its own length
    QString replyFrom;    // send replies from this address instead of the reader's own; empty: own
};

// What a reader makes of a datagram.
enum class FrameKind { Query, ParameterBlock, KeyFrame, BadParameterBlock, BadKeyFrame, Unknown };

// What a reader holds between datagrams.
struct ReaderState {
    ReaderSettings settings;
    QByteArray keyFrame; // the 200-byte frame its keys came in
    QString address;     // the dotted address it listens on
};

// What a reader does with one datagram, short of sending anything.
struct ReaderResponse {
    FrameKind kind = FrameKind::Unknown;
    bool answered = false; // a reply goes out (the length fault may have cut it to nothing)
    QByteArray reply;      // empty when nothing is answered
    ReaderSettings settings;
    QByteArray keyFrame;
    QString moveTo; // the dotted address a configure asked the reader to restart on; empty: stays
};

// The 8-byte query is answered with the settings block, a 41-byte block with the right markers becomes
// the settings and is echoed, a 200-byte key frame with the right markers becomes the keys and is
// echoed; anything else is ignored. A silent reader ignores everything. The faults then shape the reply.
ReaderResponse RespondTo(const ReaderState &state, const QByteArray &datagram, const ReaderFaults &faults);

FrameKind ClassifyFrame(const QByteArray &datagram);

} // namespace vrx
