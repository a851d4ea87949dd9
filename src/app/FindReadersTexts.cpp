#include "app/FindReadersTexts.h"

#include "config/FormerFields.h"
#include "net/ReachAdvice.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace vrx {

namespace {

// The dialog's words, in its translation context.
struct Words {
    Q_DECLARE_TR_FUNCTIONS(vrx::FindReaders)
};

} // namespace

QStringList SplitScanRanges(const QString &text) {
    static const QRegularExpression aroundJoin(QStringLiteral("\\s*([-/])\\s*"));
    static const QRegularExpression between(QStringLiteral("[\\s,，;；、]+"));
    QString joined = text.trimmed();
    joined.replace(aroundJoin, QStringLiteral("\\1"));
    return joined.split(between, Qt::SkipEmptyParts);
}

QString RangeProblemMessage(const AddressList &list) {
    switch (list.problem) {
    case RangeProblem::None:
        break;
    case RangeProblem::NoRanges:
        return Words::tr("请在“地址范围：”中填写要扫描的地址：一个地址（192.168.0.101）、一个网段"
                         "（192.168.0.0/24）或一个起止范围（192.168.0.100-192.168.0.200）。");
    case RangeProblem::BadCidr:
        return Words::tr("“%1”不是正确的网段：网段写作网络地址加“/”和0到32的前缀长度，例如 "
                         "192.168.0.0/24。")
            .arg(list.range);
    case RangeProblem::BadSpan:
        return Words::tr("“%1”不是正确的起止范围：写作起始地址“-”结束地址，例如 "
                         "192.168.0.100-192.168.0.200，或只写结束地址的最后一段：192.168.0.100-200。")
            .arg(list.range);
    case RangeProblem::Backwards:
        return Words::tr("地址范围“%1”的结束地址小于起始地址，请把小的地址写在前面。").arg(list.range);
    case RangeProblem::NotAnAddress:
        return Words::tr("“%1”不是IP地址、网段或起止范围。地址须写满四段，例如 192.168.0.101。")
            .arg(list.range);
    case RangeProblem::TooMany:
        return Words::tr("要扫描的地址太多：到“%1”为止已有 %2 个地址，一次扫描最多 %3 个（一个 /16 "
                         "网段）。请把范围分成几次扫描。")
            .arg(list.range)
            .arg(list.total)
            .arg(list.limit);
    }
    if (list.addresses.isEmpty())
        return Words::tr("地址范围中没有可以扫描的地址。");
    return QString();
}

QString NothingDiscoveredMessage(const CardChoice &choice, const QList<LocalCard> &computerCards) {
    if (!choice.ok())
        return Words::tr("无法广播查找：本机没有可以广播的网卡（回环网卡和没有子网广播地址的网卡不能"
                         "广播）。本机的网卡：%1。请接好网线并给网卡设置IP地址，或用“扫描”按地址范围"
                         "查找。")
            .arg(computerCards.isEmpty() ? Words::tr("无") : CardListText(computerCards));
    QStringList tried;
    for (const LocalCard &card : choice.cards)
        tried.append(BroadcastTargetsText(card, u"：", u"、"));
    return Words::tr("没有找到读卡器。已从以下网卡广播查询（读卡器端口1001）：\n%1\n\n可能的原因："
                     "防火墙挡住了读卡器发往本机端口1000的回复；这些网卡所在的网络上没有读卡器，"
                     "或读卡器没有通电、没有接好网线。读卡器在路由器后面时，请用“扫描”按地址范围查找。")
        .arg(tried.join(u'\n'));
}

QStringList FoundColumnTitles() {
    return {Words::tr("读卡器IP"),
            QStringLiteral("MAC"),
            Words::tr("子网掩码"),
            Words::tr("默认网关"),
            Words::tr("读卡器端口"),
            Words::tr("服务器计算机IP"),
            Words::tr("服务器计算机端口"),
            Words::tr("读卡器协议"),
            Words::tr("是否需发送心跳"),
            Words::tr("读卡时蜂鸣器"),
            Words::tr("密码选择"),
            Words::tr("网卡"),
            Words::tr("结果")};
}

static QString ChoiceCell(const ChoiceDisplay &shown, const QStringList &texts, int code) {
    if (shown.index >= 0 && shown.index < texts.size())
        return texts.at(shown.index);
    return shown.errorText.isEmpty() ? QString::number(code) : shown.errorText;
}

QStringList FoundReaderCells(const FoundReader &reader, const ChoiceTexts &choices) {
    const FormerFields shown = FormerFieldsFromSettings(reader.settings);
    const ReaderSettings &settings = reader.settings;
    QString card = reader.card;
    if (!reader.cardAddress.isEmpty())
        card = card.isEmpty() ? reader.cardAddress : QStringLiteral("%1 %2").arg(card, reader.cardAddress);
    if (!reader.reachNote.isEmpty())
        card += QCoreApplication::translate("vrx::FindReaders", "（不在子网内）");
    QStringList cells(FoundColumnCount);
    cells[ReaderIpColumn] = reader.address;
    cells[MacColumn] = reader.sameMacAt.isEmpty() ? shown.mac : SharedMacCell(reader);
    cells[SubnetMaskColumn] = shown.subnetMask;
    cells[GatewayColumn] = shown.defaultGateway;
    cells[ReaderPortColumn] = shown.readerPort;
    cells[ServerIpColumn] = shown.serverIp;
    cells[ServerPortColumn] = shown.serverPort;
    cells[ProtocolColumn] = ChoiceCell(shown.protocol, choices.protocol, settings.readerProtocol);
    cells[HeartbeatColumn] = ChoiceCell(shown.heartbeat, choices.heartbeat, settings.heartbeat);
    cells[BeepColumn] = ChoiceCell(shown.beep, choices.beep, settings.beepOnRead);
    cells[KeySourceColumn] = ChoiceCell(shown.keySource, choices.keySource, settings.keySource);
    cells[CardColumn] = card;
    return cells;
}

QString UnreachableReaderMessage(const FoundReader &reader) {
    const auto address = StrictAddress(reader.address);
    if (!address)
        return {};
    const ReachAdvice advice = ReachAdviceFor(reader.card, *address, reader.settings);
    return QCoreApplication::translate(
               "vrx::FindReaders", "读卡器 %1 不在网卡 %2（%3）的子网内，本机还不能直接访问它。请先给网卡 %2 "
                                   "加一个它所在子网的地址：\n%4\n用完后再去掉这个地址：\n%5")
        .arg(reader.address, reader.card, reader.cardAddress, advice.addCommand(), advice.removeCommand());
}

QString SharedMacCell(const FoundReader &reader) {
    return Words::tr("%1（MAC重复）").arg(MacText(reader.settings.readerMac));
}

QString FoundReaderNote(const FoundReader &reader) {
    QStringList notes;
    if (!reader.sameMacAt.isEmpty())
        notes.append(Words::tr("MAC重复：%1 也在 %2 回答，同一网络上的两台读卡器须有不同的MAC。")
                         .arg(MacText(reader.settings.readerMac), reader.sameMacAt.join(Words::tr("、"))));
    if (!reader.reachNote.isEmpty())
        notes.append(Words::tr("这台读卡器不在网卡 %1 的子网内，本机还不能直接访问它。可先给网卡加一个它"
                               "所在子网的地址：%2")
                         .arg(reader.card, reader.reachNote));
    return notes.join(u'\n');
}

QString ScanProgressText(qint64 done, qint64 total, int found, qint64 msLeft) {
    if (msLeft < 1000)
        return Words::tr("已扫描 %1/%2 个地址，找到 %3 台读卡器。").arg(done).arg(total).arg(found);
    return Words::tr("已扫描 %1/%2 个地址，找到 %3 台读卡器，约还需 %4 秒。")
        .arg(done)
        .arg(total)
        .arg(found)
        .arg((msLeft + 999) / 1000);
}

QString FoundCountText(int found, bool stopped) {
    return (stopped ? Words::tr("已停止，找到 %1 台读卡器。") : Words::tr("找到 %1 台读卡器。")).arg(found);
}

} // namespace vrx
