#include "ReaderBehaviour.h"

#include "config/ParameterBlock.h"
#include "fields/AddressText.h"
#include "keys/KeyFrame.h"

namespace vrx {

FrameKind ClassifyFrame(const QByteArray &datagram) {
    if (datagram == ParameterQuery())
        return FrameKind::Query;
    if (datagram.size() == ParameterBlock::Size)
        return ParameterBlock::hasMarkers(datagram) ? FrameKind::ParameterBlock
                                                    : FrameKind::BadParameterBlock;
    if (datagram.size() == KeyFrame::Size)
        return KeyFrame::hasMarkers(datagram) ? FrameKind::KeyFrame : FrameKind::BadKeyFrame;
    return FrameKind::Unknown;
}

ReaderResponse RespondTo(const ReaderState &state, const QByteArray &datagram, const ReaderFaults &faults) {
    ReaderResponse response{ClassifyFrame(datagram), false, {}, state.settings, state.keyFrame, {}};
    if (faults.silent)
        return response;

    switch (response.kind) {
    case FrameKind::Query:
        response.reply = ParameterBlock::encode(state.settings);
        break;
    case FrameKind::ParameterBlock: {
        response.settings = ParameterBlock::decode(datagram);
        response.reply = datagram;
        const QString readerIp = DottedText(response.settings.readerIp);
        if (readerIp != state.address)
            response.moveTo = readerIp;
        break;
    }
    case FrameKind::KeyFrame:
        response.keyFrame = datagram;
        response.reply = datagram;
        break;
    case FrameKind::BadParameterBlock:
    case FrameKind::BadKeyFrame:
    case FrameKind::Unknown:
        return response;
    }

    response.answered = true;
    // Only echoes are corrupted: the settings block a query gets is the reader's own.
    if (faults.corruptEcho && response.kind != FrameKind::Query)
        response.reply[response.reply.size() - 1] = char(~quint8(response.reply.back()));
    if (faults.replyLength >= 0)
        response.reply = response.reply.leftJustified(faults.replyLength, '\0', true);
    return response;
}

} // namespace vrx
