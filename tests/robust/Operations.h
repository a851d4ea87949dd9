#pragma once

#include "app/Form1.h"

#include <QPushButton>
#include <QString>
#include <QTest>

// The window's three operations as the operator starts them, and the box each ends with.
enum class Operation { Read, Configure, Keys };

inline const char *OperationName(Operation operation) {
    switch (operation) {
    case Operation::Read:
        return "read";
    case Operation::Configure:
        return "configure";
    case Operation::Keys:
        return "keys";
    }
    return "?";
}

// Clicks the operation's button; returns once the handler has run to its end.
inline void Click(vrx::Form1 &form, Operation operation) {
    QPushButton *button = operation == Operation::Read        ? form.Command1
                          : operation == Operation::Configure ? form.Command3
                                                              : form.Command5;
    QTest::mouseClick(button, Qt::LeftButton);
}

inline const QString ReadSucceeded = QStringLiteral("获取设备参数成功！");
inline const QString ReadFailed = QStringLiteral("获取设备参数失败！");
inline const QString KeysSucceeded = QStringLiteral("下载密码成功！");
inline const QString KeysFailed = QStringLiteral(
    "下载密码失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！");
// The configure's boxes go on with line breaks and, on success, the summary of what was written.
inline const QString ConfigureSucceededStart = QStringLiteral("设置成功！\r\n\r\n");
inline const QString ConfigureFailed = QStringLiteral(
    "设置失败，请确认是否是在读卡器的服务器计算机上进行的操作或者读卡器的IP填写是否正确！\r\n\r\n");

// Whether a box is the operation's report of success (or of failure).
inline bool IsOutcome(Operation operation, bool success, const QString &text) {
    switch (operation) {
    case Operation::Read:
        return text == (success ? ReadSucceeded : ReadFailed);
    case Operation::Configure:
        return success ? text.startsWith(ConfigureSucceededStart) : text == ConfigureFailed;
    case Operation::Keys:
        return text == (success ? KeysSucceeded : KeysFailed);
    }
    return false;
}
