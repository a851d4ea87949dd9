#include "words/TrafficWords.h"

#include <QCoreApplication>

namespace vrx {

namespace {

QString Word(const char *source) {
    return QCoreApplication::translate("vrx::TrafficWords", source);
}

} // namespace

QString TrafficHeadingText(TrafficHeading heading) {
    switch (heading) {
    case TrafficHeading::Time:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "时间(ms)"));
    case TrafficHeading::Direction:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "方向"));
    case TrafficHeading::Peer:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "对方地址"));
    case TrafficHeading::Length:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "长度"));
    case TrafficHeading::Meaning:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "说明"));
    case TrafficHeading::Bytes:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "数据(十六进制)"));
    }
    return QString();
}

QString SentDirectionText() {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "发送"));
}

QString ReceivedDirectionText() {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "接收"));
}

QString SentFrameText(SentFrame frame) {
    switch (frame) {
    case SentFrame::ParameterQuery:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "参数查询"));
    case SentFrame::ParameterBlock:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "参数块（配置）"));
    case SentFrame::KeyFrame:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "密码帧"));
    case SentFrame::Data:
        break;
    }
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "数据"));
}

QString SendFailedText(const QString &frame, const QString &failure) {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "%1，发送失败：%2")).arg(frame, failure);
}

QString ReplyText(ReplyKind reply) {
    switch (reply) {
    case ReplyKind::ParametersRead:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "参数块，状态21"));
    case ReplyKind::ConfigureEchoed:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "配置回显，一致，状态11"));
    case ReplyKind::ConfigureEchoDiffers:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "配置回显，不一致，状态12"));
    case ReplyKind::KeysEchoed:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "密码回显，一致，状态31"));
    case ReplyKind::KeyEchoDiffers:
        break;
    }
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "密码回显，不一致，状态32"));
}

QString OtherStatusText(int status) {
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "状态%1")).arg(status);
}

QString IgnoredText(IgnoredReason reason) {
    switch (reason) {
    case IgnoredReason::FromThisComputer:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "忽略：来自本机IP"));
    case IgnoredReason::WrongSender:
        return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "忽略：发送方不是读卡器IP"));
    case IgnoredReason::WrongLength:
        break;
    }
    return Word(QT_TRANSLATE_NOOP("vrx::TrafficWords", "忽略：长度不符"));
}

QString NoReplyWithinText(int milliseconds) {
    return QCoreApplication::translate("vrx::TrafficWords", "%1 ms 内没有回复").arg(milliseconds);
}

} // namespace vrx
