#include "config/SettingsSummary.h"

#include "config/ParameterBlock.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <array>

namespace vrx {

namespace {

// The summary's words: Chinese source texts, in English when the window speaks English.
QString spoken(const char *text) {
    return QCoreApplication::translate("vrx::SettingsSummary", text);
}

QString protocolName(quint8 code) {
    switch (code) {
    case Protocol::Udp:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "UDP"));
    case Protocol::TcpServer:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "TCP服务器"));
    case Protocol::TcpClient:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "TCP客户端"));
    default:
        // Not produced by the encoder; named as the former fields name a bad code.
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "数据错误"));
    }
}

QString beepName(quint8 code) {
    switch (code) {
    case Beep::OnRead:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "发声"));
    case Beep::Silent:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "不发声"));
    default:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "蜂鸣器位置数据错误"));
    }
}

QString keySourceName(quint8 code) {
    switch (code) {
    case KeySource::Command:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "使用命令中的密码"));
    case KeySource::Reader:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "使用读卡器内部密码"));
    default:
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "密码选择位置数据错误"));
    }
}

// Columns a text takes on a fixed-pitch display: a Chinese (wide) character takes two.
int displayWidth(const QString &text) {
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x2e80 ? 2 : 1;
    return width;
}

} // namespace

QString SettingsSummary(const QByteArray &block) {
    const ReaderSettings s = ParameterBlock::decode(block);
    const std::array<const char *, 11> labels = {
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "读卡器IP"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "读卡器子网掩码"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "读卡器默认网关"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "读卡器端口"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "服务器计算机IP"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "服务器端口"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "MAC"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "读卡器协议"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "是否需发送心跳"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "读卡时蜂鸣器"),
        QT_TRANSLATE_NOOP("vrx::SettingsSummary", "密码选择"),
    };
    const QStringList values = {
        DottedText(s.readerIp),
        DottedText(s.subnetMask),
        DottedText(s.defaultGateway),
        QString::number(s.readerPort),
        DottedText(s.serverIp),
        QString::number(s.serverPort),
        MacText(s.readerMac),
        protocolName(s.readerProtocol),
        s.heartbeat == Heartbeat::Send ? spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "发送"))
                                       : spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "不发送")),
        beepName(s.beepOnRead),
        keySourceName(s.keySource),
    };
    // The labels are padded to the widest of them (14 columns in Chinese), so the values line up.
    QStringList shown;
    int width = 0;
    for (const char *label : labels) {
        shown << spoken(label);
        width = std::max(width, displayWidth(shown.back()));
    }
    const QString separator = spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "："));
    QString summary;
    for (int line = 0; line < int(labels.size()); ++line)
        summary += shown[line] + QString(width - displayWidth(shown[line]), u' ') + separator + values[line] +
                   QStringLiteral("\r\n");
    return summary;
}

QString ConfigureReport(bool confirmed, const QByteArray &block) {
    if (confirmed)
        return spoken(QT_TRANSLATE_NOOP("vrx::SettingsSummary", "设置成功！")) + QStringLiteral("\r\n\r\n") +
               SettingsSummary(block);
    return spoken(QT_TRANSLATE_NOOP(
               "vrx::SettingsSummary",
               "设置失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！")) +
           QStringLiteral("\r\n\r\n");
}

} // namespace vrx
