#include "config/SettingsSummary.h"

#include "config/ParameterBlock.h"

#include <QStringList>

namespace vrx {

namespace {

QString protocolName(quint8 code) {
    switch (code) {
    case Protocol::Udp:
        return QStringLiteral("UDP");
    case Protocol::TcpServer:
        return QStringLiteral("TCP服务器");
    case Protocol::TcpClient:
        return QStringLiteral("TCP客户端");
    default:
        // Not produced by the encoder; named as the former fields name a bad code.
        return QStringLiteral("数据错误");
    }
}

QString beepLine(quint8 code) {
    switch (code) {
    case Beep::OnRead:
        return QStringLiteral("读卡时蜂鸣器  ：发声");
    case Beep::Silent:
        return QStringLiteral("读卡时蜂鸣器  ：不发声");
    default:
        return QStringLiteral("读卡时蜂鸣器  ：蜂鸣器位置数据错误");
    }
}

QString keySourceName(quint8 code) {
    switch (code) {
    case KeySource::Command:
        return QStringLiteral("使用命令中的密码");
    case KeySource::Reader:
        return QStringLiteral("使用读卡器内部密码");
    default:
        return QStringLiteral("密码选择位置数据错误");
    }
}

} // namespace

QString SettingsSummary(const QByteArray &block) {
    const ReaderSettings s = ParameterBlock::decode(block);
    // Labels are padded to 14 display columns (a Chinese character counts 2).
    const QStringList lines = {
        QStringLiteral("读卡器IP      ：") + DottedText(s.readerIp),
        QStringLiteral("读卡器子网掩码：") + DottedText(s.subnetMask),
        QStringLiteral("读卡器默认网关：") + DottedText(s.defaultGateway),
        QStringLiteral("读卡器端口    ：") + QString::number(s.readerPort),
        QStringLiteral("服务器计算机IP：") + DottedText(s.serverIp),
        QStringLiteral("服务器端口    ：") + QString::number(s.serverPort),
        QStringLiteral("MAC           ：") + MacText(s.readerMac),
        QStringLiteral("读卡器协议    ：") + protocolName(s.readerProtocol),
        QStringLiteral("是否需发送心跳：") +
            (s.heartbeat == Heartbeat::Send ? QStringLiteral("发送") : QStringLiteral("不发送")),
        beepLine(s.beepOnRead),
        QStringLiteral("密码选择      ：") + keySourceName(s.keySource),
    };
    QString summary;
    for (const QString &line : lines)
        summary += line + QStringLiteral("\r\n");
    return summary;
}

QString ConfigureReport(bool confirmed, const QByteArray &block) {
    if (confirmed)
        return QStringLiteral("设置成功！\r\n\r\n") + SettingsSummary(block);
    return QStringLiteral(
        "设置失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！\r\n\r\n");
}

} // namespace vrx
