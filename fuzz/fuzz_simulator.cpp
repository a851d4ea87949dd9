// What the simulated reader makes of a run of datagrams, without sockets. Input: a fault byte (bit 0
// silent, bit 1 corrupt echo, bit 2 cut/pad replies), the reply length for bit 2, then datagrams, each
// after a two-byte little-endian length. Every datagram must be answered and taken exactly as its kind
// calls for: the query gets the settings, a marked block becomes the settings and is echoed, a marked
// key frame becomes the keys and is echoed, and anything else gets no reply and changes nothing.

#include "FuzzCheck.h"

#include "ReaderBehaviour.h"
#include "SimulatedReader.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"

using namespace vrx;

namespace {

constexpr int MaxDatagram = 4096;
constexpr int MaxDatagrams = 16;

ReaderFaults FaultsFrom(quint8 flags, quint8 length) {
    ReaderFaults faults;
    faults.silent = flags & 1;
    faults.corruptEcho = flags & 2;
    faults.replyLength = (flags & 4) ? int(length) : -1;
    return faults;
}

void CheckClassification(const QByteArray &datagram, FrameKind kind) {
    const bool marked41 = ParameterBlock::hasMarkers(datagram);
    const bool marked200 = datagram.size() == KeyFrame::Size && KeyFrame::hasMarkers(datagram);
    switch (kind) {
    case FrameKind::Query:
        FUZZ_CHECK(datagram == ParameterQuery());
        break;
    case FrameKind::ParameterBlock:
        FUZZ_CHECK(marked41);
        break;
    case FrameKind::BadParameterBlock:
        FUZZ_CHECK(datagram.size() == ParameterBlock::Size && !marked41);
        break;
    case FrameKind::KeyFrame:
        FUZZ_CHECK(marked200);
        break;
    case FrameKind::BadKeyFrame:
        FUZZ_CHECK(datagram.size() == KeyFrame::Size && !marked200);
        break;
    case FrameKind::Unknown:
        FUZZ_CHECK(datagram != ParameterQuery() && datagram.size() != ParameterBlock::Size &&
                   datagram.size() != KeyFrame::Size);
        break;
    }
}

// The reply is the frame the kind calls for, with its last byte inverted when an echo is corrupted,
// then cut or zero-padded to the fault's length.
void CheckReply(const QByteArray &reply, const QByteArray &frame, bool corrupted, int length) {
    const qsizetype expectedSize = length >= 0 ? length : frame.size();
    FUZZ_CHECK(reply.size() == expectedSize);
    for (qsizetype i = 0; i < reply.size(); ++i) {
        if (i >= frame.size())
            FUZZ_CHECK(reply.at(i) == '\0');
        else if (corrupted && i == frame.size() - 1)
            FUZZ_CHECK(quint8(reply.at(i)) == quint8(~quint8(frame.at(i))));
        else
            FUZZ_CHECK(reply.at(i) == frame.at(i));
    }
}

// Checks one datagram against the state before it and returns the state after it.
ReaderState Step(const ReaderState &state, const QByteArray &datagram, const ReaderFaults &faults) {
    const ReaderResponse response = RespondTo(state, datagram, faults);
    FUZZ_CHECK(response.kind == SimulatedReader::Classify(datagram));
    CheckClassification(datagram, response.kind);

    const bool takes = response.kind == FrameKind::Query || response.kind == FrameKind::ParameterBlock ||
                       response.kind == FrameKind::KeyFrame;
    if (!takes || faults.silent) {
        FUZZ_CHECK(!response.answered && response.reply.isEmpty());
        FUZZ_CHECK(response.settings == state.settings && response.keyFrame == state.keyFrame);
        FUZZ_CHECK(response.moveTo.isEmpty());
        return state;
    }

    FUZZ_CHECK(response.answered);
    ReaderState next = state;
    QByteArray frame = datagram;
    switch (response.kind) {
    case FrameKind::Query:
        frame = ParameterBlock::encode(state.settings);
        FUZZ_CHECK(frame.size() == ParameterBlock::Size && ParameterBlock::hasMarkers(frame));
        FUZZ_CHECK(ParameterBlock::decode(frame) == state.settings);
        break;
    case FrameKind::ParameterBlock:
        next.settings = ParameterBlock::decode(datagram);
        break;
    default:
        next.keyFrame = datagram;
        break;
    }
    CheckReply(response.reply, frame, faults.corruptEcho && response.kind != FrameKind::Query,
               faults.replyLength);
    FUZZ_CHECK(response.settings == next.settings && response.keyFrame == next.keyFrame);

    // Only a block with another reader address asks for a move; the model takes it as made.
    const QString newIp = DottedText(next.settings.readerIp);
    if (response.kind == FrameKind::ParameterBlock && newIp != state.address) {
        FUZZ_CHECK(response.moveTo == newIp);
        next.address = newIp;
    } else {
        FUZZ_CHECK(response.moveTo.isEmpty());
    }
    return next;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2)
        return 0;
    const ReaderFaults faults = FaultsFrom(data[0], data[1]);
    const QString home = QStringLiteral("127.0.0.1");
    ReaderState state{SimulatedReader::DefaultSettings(QHostAddress(home)),
                      SimulatedReader::DefaultKeyFrame(), home};

    size_t at = 2;
    for (int taken = 0; taken < MaxDatagrams && at + 2 <= size; ++taken) {
        const size_t length =
            std::min<size_t>({size_t(data[at] | data[at + 1] << 8), size - at - 2, size_t(MaxDatagram)});
        at += 2;
        state = Step(state, fuzz::Bytes(data + at, length), faults);
        at += length;
    }
    return 0;
}
