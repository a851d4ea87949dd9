#include "app/FindReadersBatchTexts.h"

#include "config/SettingField.h"
#include "words/FieldWords.h"
#include "words/SocketWords.h"

#include <QCoreApplication>
#include <QStringList>

namespace vrx {

namespace {

// The batch's words belong to the find dialog's catalogue; each call names it, so that lupdate files
// them there.

// A setting as the window's panels name it.
QString FieldLabel(SettingField field) {
    switch (field) {
    case SettingField::ReaderIp:
        return QStringLiteral("读卡器IP");
    case SettingField::SubnetMask:
        return QStringLiteral("读卡器子网掩码");
    case SettingField::Gateway:
        return QStringLiteral("读卡器默认网关");
    case SettingField::ReaderPort:
        return QStringLiteral("读卡器端口");
    case SettingField::ServerIp:
        return QStringLiteral("服务器计算机IP");
    case SettingField::ServerPort:
        return QStringLiteral("服务器计算机端口");
    case SettingField::Mac:
        return QStringLiteral("MAC");
    case SettingField::Protocol:
        return QStringLiteral("读卡器协议");
    case SettingField::Heartbeat:
        return QStringLiteral("是否需发送心跳");
    case SettingField::Beep:
        return QStringLiteral("读卡时蜂鸣器");
    case SettingField::KeySource:
        return QStringLiteral("密码选择");
    }
    return {};
}

QString NotWrittenReason(const ConfigureOutcome &outcome) {
    switch (outcome.result) {
    case ConfigureResult::Invalid:
        if (!outcome.encoded.problems.isEmpty())
            return TargetProblemText(outcome.encoded.problems.last());
        if (outcome.encoded.choice)
            return QCoreApplication::translate("vrx::FindReaders",
                                               "%1 不能写入读卡器现有的值 %2，请在目标IP信息中选择一项")
                .arg(FieldLabel(outcome.encoded.choice->field))
                .arg(outcome.encoded.choice->code);
        return QCoreApplication::translate("vrx::FindReaders", "参数不正确");
    case ConfigureResult::NoRoute:
        return QCoreApplication::translate("vrx::FindReaders", "本机没有到 %1 的路由")
            .arg(outcome.unreachable);
    case ConfigureResult::SocketError:
        return SocketErrorDescription(outcome.socketError);
    case ConfigureResult::NoAddressLeft:
        return QCoreApplication::translate("vrx::FindReaders", "新地址超出了 255.255.255.255");
    default:
        return {};
    }
}

} // namespace

BatchResultWords BatchResultText(const ConfigureOutcome &outcome) {
    switch (outcome.result) {
    case ConfigureResult::Ok:
    case ConfigureResult::DryRun:
        if (!outcome.settingsWritten)
            return {QCoreApplication::translate("vrx::FindReaders", "成功"),
                    QCoreApplication::translate("vrx::FindReaders", "读卡器回显了下载的密码。")};
        return {QCoreApplication::translate("vrx::FindReaders", "成功"),
                QCoreApplication::translate("vrx::FindReaders",
                                            "参数已写入，%1 毫秒后读回核对，十一项参数与写入的相同。")
                    .arg(outcome.verifiedAfterMs)};
    case ConfigureResult::ReadNoReply:
        return {QCoreApplication::translate("vrx::FindReaders", "无应答"),
                QCoreApplication::translate("vrx::FindReaders",
                                            "读取参数时读卡器没有回答，没有向它写入任何内容。")};
    case ConfigureResult::NoReply:
        return {QCoreApplication::translate("vrx::FindReaders", "无应答"),
                QCoreApplication::translate("vrx::FindReaders", "写入参数后没有收到读卡器的回显。")};
    case ConfigureResult::KeysNoReply:
        return {QCoreApplication::translate("vrx::FindReaders", "无应答"),
                QCoreApplication::translate("vrx::FindReaders",
                                            "下载密码后没有收到读卡器的回显，参数没有写入。")};
    case ConfigureResult::VerifyNoReply:
        return {QCoreApplication::translate("vrx::FindReaders", "无应答"),
                outcome.unreachable.isEmpty()
                    ? QCoreApplication::translate("vrx::FindReaders",
                                                  "参数已写入并得到回显，但读回核对时读卡器没有回答。")
                    : QCoreApplication::translate(
                          "vrx::FindReaders",
                          "参数已写入并得到回显，但本机没有到新地址 %1 的路由，无法读回核对。")
                          .arg(outcome.unreachable)};
    case ConfigureResult::EchoDiffers:
        return {QCoreApplication::translate("vrx::FindReaders", "回显不符"),
                QCoreApplication::translate("vrx::FindReaders", "读卡器的回显与写入的参数不同。")};
    case ConfigureResult::KeysEchoDiffers:
        return {
            QCoreApplication::translate("vrx::FindReaders", "回显不符"),
            QCoreApplication::translate("vrx::FindReaders", "读卡器回显的密码与下载的不同，参数没有写入。")};
    case ConfigureResult::VerifyMismatch: {
        QStringList fields;
        for (SettingField field : outcome.verification.mismatched)
            fields.append(QStringLiteral("%1：写入 %2，读回 %3")
                              .arg(FieldLabel(field), FieldText(outcome.after, field),
                                   FieldText(outcome.verification.reported, field)));
        return {QCoreApplication::translate("vrx::FindReaders", "回显不符"),
                QCoreApplication::translate("vrx::FindReaders", "读回的参数与写入的不同：%1")
                    .arg(fields.join(QStringLiteral("；")))};
    }
    case ConfigureResult::NotStarted:
        return {};
    case ConfigureResult::Invalid:
    case ConfigureResult::NoRoute:
    case ConfigureResult::SocketError:
    case ConfigureResult::NoAddressLeft:
        break;
    }
    const QString reason = NotWrittenReason(outcome);
    return {QCoreApplication::translate("vrx::FindReaders", "未写入：%1").arg(reason),
            QCoreApplication::translate("vrx::FindReaders", "没有向读卡器写入任何内容：%1").arg(reason)};
}

QString BatchSummaryText(bool settings, int succeeded, int failed, int untouched) {
    QString text =
        settings ? QCoreApplication::translate("vrx::FindReaders", "批量配置结束：成功 %1 台，失败 %2 台")
                       .arg(succeeded)
                       .arg(failed)
                 : QCoreApplication::translate("vrx::FindReaders", "批量下载密码结束：成功 %1 台，失败 %2 台")
                       .arg(succeeded)
                       .arg(failed);
    if (untouched)
        text += QCoreApplication::translate("vrx::FindReaders", "，停止后未处理 %1 台").arg(untouched);
    return text + QStringLiteral("。");
}

} // namespace vrx
