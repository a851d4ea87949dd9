#pragma once

#include "config/TargetFields.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vrx {

// The message box for one problem of the target fields ("请输入正确的本机地址").
QString TargetProblemText(TargetProblem problem);
QStringList TargetProblemTexts(const QList<TargetProblem> &problems);

// How the window names a key field to the operator: "第8区B密码".
QString KeyFieldName(int field);

// The key download's refusal of a short key: "第8区B密码长度小于12！".
QString ShortKeyText(int field);

} // namespace vrx
