#include "InputProblems.h"

#include "words/FieldWords.h"

#include <QStringList>

namespace vrxctl {

namespace {

QString OptionProblemText(vrx::TargetProblem problem) {
    using vrx::TargetProblem;
    switch (problem) {
    case TargetProblem::ReaderIp:
        return QStringLiteral("reader IP (--ip): enter a valid address whose last number is not 0");
    case TargetProblem::SubnetMask:
        return QStringLiteral("subnet mask (--mask): enter a valid subnet mask");
    case TargetProblem::DefaultGateway:
        return QStringLiteral("gateway (--gateway): enter a valid address whose last number is not 0");
    case TargetProblem::ServerIp:
        return QStringLiteral("server IP (--server-ip): enter a valid address whose last number is not 0");
    case TargetProblem::ReaderPort:
        return QStringLiteral("reader port (--port): enter a number between 1 and 65535");
    case TargetProblem::ServerPort:
        return QStringLiteral("server port (--server-port): enter a number between 1 and 65535");
    case TargetProblem::Mac:
        return QStringLiteral(
            "MAC (--mac): enter six hexadecimal groups joined by \"-\", such as 00-14-C0-A8-00-65");
    case TargetProblem::NumberOverflow:
    case TargetProblem::Protocol:
        break;
    }
    return vrx::TargetProblemText(problem); // the shared words, in English
}

} // namespace

QString TargetProblemsText(const QList<vrx::TargetProblem> &problems) {
    QStringList texts;
    for (const vrx::TargetProblem problem : problems)
        texts.append(OptionProblemText(problem));
    return texts.join(QStringLiteral("; "));
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
