#include "app/Form1.h"

#include "app/KeyFileTransfer.h"

#include <QMenuBar>

namespace vrx {

// The menu bar above the window's controls: key files, the tools around the window, and the about
// box. Each item runs to completion like a button's handler.

void Form1::CreateMenuBar() {
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    const auto addMenu = [&](const char *name, const QString &title) {
        QMenu *menu = MenuBar->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto addItem = [&](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *action = menu->addAction(text, this, handler);
        action->setObjectName(QLatin1String(name));
    };

    QMenu *file = addMenu("MenuFile", QStringLiteral("文件"));
    addItem(file, "ImportKeysAction", QStringLiteral("导入密码…"), &Form1::ImportKeys);
    addItem(file, "ExportKeysAction", QStringLiteral("导出密码…"), &Form1::ExportKeys);
    file->addSeparator();
    addItem(file, "QuitAction", QStringLiteral("退出"), &Form1::close);

    QMenu *tools = addMenu("MenuTools", QStringLiteral("工具"));
    addItem(tools, "FindReadersAction", QStringLiteral("查找读卡器…"), &Form1::ShowFindReaders);
    addItem(tools, "TrafficLogAction", QStringLiteral("通信记录"), &Form1::ShowTrafficLog);

    QMenu *help = addMenu("MenuHelp", QStringLiteral("帮助"));
    addItem(help, "AboutAction", QStringLiteral("关于"), &Form1::ShowAbout);
}

void Form1::ImportKeys() {
    Guarded([this] { KeyFileTransfer(TextPass, m_messages, m_files, this).Import(); });
}

void Form1::ExportKeys() {
    Guarded([this] { KeyFileTransfer(TextPass, m_messages, m_files, this).Export(); });
}

QString Form1::AboutText() {
    return QStringLiteral("VRX系列在线配置软件（vrx-config）\n"
                          "版本 %1\n"
                          "读取和配置VRX系列网络读卡器的参数，下载读卡器密码。\n"
                          "许可：专有软件。版权所有 © 2026 VRX Config 开发者，保留一切权利；"
                          "尚未授予复制或修改本软件的许可。")
        .arg(QStringLiteral(VRX_VERSION));
}

void Form1::ShowAbout() {
    m_messages.Show(AboutText());
}

} // namespace vrx
