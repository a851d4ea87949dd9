#include "EnglishMessages.h"

#include <QHash>
#include <QRegularExpression>

namespace vrxctl {

QString InEnglish(const QString &message) {
    static const QHash<QString, QString> table{
        // checks of the target settings
        {QStringLiteral("请输入正确的本机地址"),
         QStringLiteral("reader IP (--ip): enter a valid address whose last number is not 0")},
        {QStringLiteral("请输入正确的子网掩码"),
         QStringLiteral("subnet mask (--mask): enter a valid subnet mask")},
        {QStringLiteral("请输入正确的默认网关"),
         QStringLiteral("gateway (--gateway): enter a valid address whose last number is not 0")},
        {QStringLiteral("请输入正确服务器计算机IP"),
         QStringLiteral("server IP (--server-ip): enter a valid address whose last number is not 0")},
        {QStringLiteral("请输入1-65535之间的读卡器端口号"),
         QStringLiteral("reader port (--port): enter a number between 1 and 65535")},
        {QStringLiteral("请输入1-65535之间的服务器计算机端口号"),
         QStringLiteral("server port (--server-port): enter a number between 1 and 65535")},
        {QStringLiteral("请输入正确的读卡器MAC"),
         QStringLiteral(
             "MAC (--mac): enter six hexadecimal groups joined by \"-\", such as 00-14-C0-A8-00-65")},
        {QStringLiteral("数值溢出"), QStringLiteral("a number is too large")},
    };
    const auto known = table.constFind(message);
    if (known != table.constEnd())
        return *known;

    // "第8区B密码长度小于12！": the key of a sector is too short.
    static const QRegularExpression shortKey(QStringLiteral("^第(\\d+)区([AB])密码长度小于12！$"));
    const auto match = shortKey.match(message);
    if (match.hasMatch())
        return QStringLiteral("the %1 key of sector %2 is shorter than 12 hexadecimal digits")
            .arg(match.captured(2), match.captured(1));
    return message;
}

QString InEnglish(const QStringList &messages) {
    QStringList english;
    for (const QString &message : messages)
        english.append(InEnglish(message));
    return english.join(QStringLiteral("; "));
}

QString RangeProblemText(const vrx::AddressList &list) {
    switch (list.problem) {
    case vrx::RangeProblem::None:
        return {};
    case vrx::RangeProblem::NoRanges:
        return QStringLiteral("give at least one address range to scan");
    case vrx::RangeProblem::BadCidr:
        return QStringLiteral("\"%1\" is not a CIDR block such as 127.0.0.0/24").arg(list.range);
    case vrx::RangeProblem::BadSpan:
        return QStringLiteral("\"%1\" is not a range such as 127.0.0.10-127.0.0.20").arg(list.range);
    case vrx::RangeProblem::Backwards:
        return QStringLiteral("range \"%1\" ends before it begins").arg(list.range);
    case vrx::RangeProblem::NotAnAddress:
        return QStringLiteral("\"%1\" is not an address, a CIDR block or a first-last range").arg(list.range);
    case vrx::RangeProblem::TooMany:
        return QStringLiteral(
                   "the ranges hold %1 addresses or more; a scan takes at most %2 (a /16): split it "
                   "into smaller ranges")
            .arg(list.total)
            .arg(list.limit);
    }
    return {};
}

} // namespace vrxctl
