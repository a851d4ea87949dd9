#include "link/ExchangeState.h"

namespace vrx {

namespace {

constexpr qsizetype ParameterReplySize = ParameterBlock::Size;
constexpr qsizetype KeyReplySize = KeyFrame::Size;

// True when the first `count` bytes of both arrays exist and are equal. A buffer shorter than
// `count` can never match: its missing bytes count as a difference, so nothing is read past its end.
bool SameLeadingBytes(const QByteArray &a, const QByteArray &b, qsizetype count) {
    if (a.size() < count || b.size() < count)
        return false;
    return QByteArrayView(a).first(count) == QByteArrayView(b).first(count);
}

} // namespace

ExchangeState ClassifyDatagram(const QByteArray &datagram, const QString &sender, ExchangeState state) {
    ClassifyDatagramInPlace(datagram, sender, state);
    return state;
}

DatagramVerdict ClassifyDatagramInPlace(const QByteArray &datagram, const QString &sender,
                                        ExchangeState &state) {
    if (sender == state.LocalIp)
        return DatagramVerdict::FromThisComputer;

    const qsizetype length = datagram.size();
    if (length >= KeyReplySize) {
        // Only the first 200 bytes count; the sender and ReadMode play no part.
        state.KeyEchoMatched = SameLeadingBytes(datagram, state.KeyFrame, KeyReplySize);
        state.ExchangeStatus = state.KeyEchoMatched ? Status::KeysEchoed : Status::KeyEchoDiffers;
        return DatagramVerdict::Taken;
    }

    if (length != ParameterReplySize)
        return DatagramVerdict::WrongLength;
    if (sender != state.ReaderAddress)
        return DatagramVerdict::WrongSender;

    if (state.ReadMode) {
        state.ReceiveBuffer = datagram;
        state.ExchangeStatus = Status::ParametersRead;
    } else if (SameLeadingBytes(datagram, state.SendBuffer, ParameterReplySize)) {
        state.ReceiveBuffer = state.SendBuffer.first(ParameterReplySize);
        state.ExchangeStatus = Status::ConfigureEchoed;
    } else {
        state.ExchangeStatus = Status::ConfigureEchoDiffers;
    }
    return DatagramVerdict::Taken;
}

} // namespace vrx
