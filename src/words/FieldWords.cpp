#include "words/FieldWords.h"

#include "fields/AddressText.h"
#include "keys/KeyFrame.h"

#include <QCoreApplication>

namespace vrx {

namespace {

class FieldWords {
    Q_DECLARE_TR_FUNCTIONS(vrx::FieldWords)
};

} // namespace

QString TargetProblemText(TargetProblem problem) {
    switch (problem) {
    case TargetProblem::NumberOverflow:
        return OverflowDescription();
    case TargetProblem::ReaderIp:
        return FieldWords::tr("请输入正确的本机地址");
    case TargetProblem::SubnetMask:
        return FieldWords::tr("请输入正确的子网掩码");
    case TargetProblem::DefaultGateway:
        return FieldWords::tr("请输入正确的默认网关");
    case TargetProblem::ServerIp:
        return FieldWords::tr("请输入正确服务器计算机IP");
    case TargetProblem::ReaderPort:
        return FieldWords::tr("请输入1-65535之间的读卡器端口号");
    case TargetProblem::ServerPort:
        return FieldWords::tr("请输入1-65535之间的服务器计算机端口号");
    case TargetProblem::Mac:
        return FieldWords::tr("请输入正确的读卡器MAC");
    case TargetProblem::Protocol:
        break;
    }
    return FieldWords::tr("读卡器协议不是列表中的一项，无法设置");
}

QStringList TargetProblemTexts(const QList<TargetProblem> &problems) {
    QStringList texts;
    for (const TargetProblem problem : problems)
        texts << TargetProblemText(problem);
    return texts;
}

QString KeyFieldName(int field) {
    return FieldWords::tr("第%1区%2密码")
        .arg(KeyFrame::sectorOfField(field))
        .arg(QChar(KeyFrame::isBKeyField(field) ? u'B' : u'A'));
}

QString ShortKeyText(int field) {
    return FieldWords::tr("%1长度小于12！").arg(KeyFieldName(field));
}

} // namespace vrx
