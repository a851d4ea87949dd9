#include "link/AwaitedReply.h"

namespace vrx {

AwaitVerdict ClassifyAwaited(Awaiting awaiting, const QByteArray &datagram, const QString &sender,
                             const QByteArray &settingsReply, ExchangeState &state) {
    if (sender == state.LocalIp)
        return AwaitVerdict::FromThisComputer;
    const bool fromReader = sender == state.ReaderAddress;

    if (awaiting == Awaiting::KeyEcho) {
        if (datagram.size() < KeyFrame::Size)
            return AwaitVerdict::WrongLength;
        const bool exact = QByteArrayView(datagram).first(KeyFrame::Size) == QByteArrayView(state.KeyFrame);
        if (!exact && !fromReader)
            return AwaitVerdict::WrongSender;
        state.KeyEchoMatched = exact;
        state.ExchangeStatus = exact ? Status::KeysEchoed : Status::KeyEchoDiffers;
        return AwaitVerdict::Taken;
    }

    if (datagram.size() != ParameterBlock::Size)
        return AwaitVerdict::WrongLength;
    if (!fromReader)
        return AwaitVerdict::WrongSender;
    if (awaiting == Awaiting::Settings) {
        state.ReceiveBuffer = datagram;
        state.ExchangeStatus = Status::ParametersRead;
        return AwaitVerdict::Taken;
    }
    if (datagram == state.SendBuffer) {
        state.ReceiveBuffer = datagram;
        state.ExchangeStatus = Status::ConfigureEchoed;
        return AwaitVerdict::Taken;
    }
    if (!settingsReply.isEmpty() && datagram == settingsReply)
        return AwaitVerdict::LateSettingsReply;
    state.ExchangeStatus = Status::ConfigureEchoDiffers;
    return AwaitVerdict::Taken;
}

} // namespace vrx
