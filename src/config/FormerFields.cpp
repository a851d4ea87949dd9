#include "config/FormerFields.h"

namespace vrx {

namespace {

ChoiceDisplay listPosition(int index) {
    return {index, QString()};
}

ChoiceDisplay badData(const QString &text) {
    return {-1, text};
}

} // namespace

FormerFields FormerFieldsFromSettings(const ReaderSettings &settings) {
    FormerFields former;
    former.readerIp = DottedText(settings.readerIp);
    former.subnetMask = DottedText(settings.subnetMask);
    former.defaultGateway = DottedText(settings.defaultGateway);
    former.serverIp = DottedText(settings.serverIp);
    former.readerPort = QString::number(settings.readerPort);
    former.serverPort = QString::number(settings.serverPort);
    former.mac = MacText(settings.readerMac);

    // List order of the choice boxes: beep "不发声", "发声"; key source "命令中的密码", "读卡器内部密码";
    // protocol "UDP", "TCP服务器", "TCP客户端"; heartbeat "不发送", "发送".
    switch (settings.beepOnRead) {
    case Beep::Silent:
        former.beep = listPosition(0);
        break;
    case Beep::OnRead:
        former.beep = listPosition(1);
        break;
    default:
        former.beep = badData(QStringLiteral("蜂鸣器位置数据错误"));
    }

    switch (settings.keySource) {
    case KeySource::Command:
        former.keySource = listPosition(0);
        break;
    case KeySource::Reader:
        former.keySource = listPosition(1);
        break;
    default:
        former.keySource = badData(QStringLiteral("密码选择位置数据错误"));
    }

    if (settings.readerProtocol <= Protocol::TcpClient)
        former.protocol = listPosition(settings.readerProtocol);
    else
        former.protocol = badData(QStringLiteral("数据错误"));

    // Any non-zero heartbeat byte means the reader does not send one.
    former.heartbeat = listPosition(settings.heartbeat == Heartbeat::Send ? 1 : 0);
    return former;
}

} // namespace vrx
