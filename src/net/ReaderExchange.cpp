#include "net/ReaderExchange.h"

#include "config/ParameterBlock.h"

namespace vrx {

namespace {

ExchangeState FreshState(const QString &target, const QString &localIp, bool readMode) {
    ExchangeState state;
    state.ReaderAddress = target;
    state.LocalIp = localIp;
    state.ReadMode = readMode;
    state.ExchangeStatus = Status::None;
    return state;
}

} // namespace

Exchange ReadExchange(const QString &target, const QString &localIp) {
    return {target, ParameterQuery(), FreshState(target, localIp, true), Awaiting::Settings, {}};
}

Exchange WriteExchange(const QString &target, const QByteArray &block, const QString &localIp,
                       const QByteArray &settingsReply) {
    Exchange exchange{target, block, FreshState(target, localIp, false), Awaiting::Echo, settingsReply};
    exchange.state.SendBuffer = block;
    return exchange;
}

Exchange KeyExchange(const QString &target, const QByteArray &keyFrame, const QString &localIp) {
    Exchange exchange{target, keyFrame, FreshState(target, localIp, false), Awaiting::KeyEcho, {}};
    exchange.state.KeyFrame = keyFrame;
    exchange.state.KeyEchoMatched = false;
    return exchange;
}

std::optional<ReaderSettings> ReportedSettings(const Exchange &exchange) {
    if (exchange.state.ExchangeStatus != Status::ParametersRead)
        return std::nullopt;
    return ParameterBlock::decode(exchange.state.ReceiveBuffer);
}

std::optional<ReaderSettings> ReportedSettings(const QByteArray &datagram, const QString &sender,
                                               const QString &localIp) {
    Exchange exchange = ReadExchange(sender, localIp);
    exchange.state = ClassifyDatagram(datagram, sender, exchange.state);
    return ReportedSettings(exchange);
}

} // namespace vrx
