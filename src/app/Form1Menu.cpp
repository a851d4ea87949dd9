#include "app/Form1.h"

#include "app/KeyFileTransfer.h"
#include "app/UserGuide.h"

#include <QActionGroup>
#include <QMenuBar>

namespace vrx {

// The menu bar above the window's controls: key files, the tools around the window, and the about
// box, the window's language. Each item runs to completion like a button's handler.

void Form1::CreateMenuBar() {
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    // Titles and items take their text from the source text given, in the window's language.
    const auto addMenu = [&](const char *name, const char *title) {
        QMenu *menu = MenuBar->addMenu(QString());
        menu->setObjectName(QLatin1String(name));
        Translated([menu, title] { menu->setTitle(tr(title)); });
        return menu;
    };
    const auto addItem = [&](QMenu *menu, const char *name, const char *text, auto handler) {
        QAction *action = menu->addAction(QString(), this, handler);
        action->setObjectName(QLatin1String(name));
        Translated([action, text] { action->setText(tr(text)); });
        return action;
    };

    QMenu *file = addMenu("MenuFile", QT_TR_NOOP("文件"));
    addItem(file, "ImportKeysAction", QT_TR_NOOP("导入密码…"), &Form1::ImportKeys);
    addItem(file, "ExportKeysAction", QT_TR_NOOP("导出密码…"), &Form1::ExportKeys);
    file->addSeparator();
    addItem(file, "QuitAction", QT_TR_NOOP("退出"), &Form1::close);

    QMenu *tools = addMenu("MenuTools", QT_TR_NOOP("工具"));
    addItem(tools, "FindReadersAction", QT_TR_NOOP("查找读卡器…"), &Form1::ShowFindReaders);
    addItem(tools, "TrafficLogAction", QT_TR_NOOP("通信记录"), &Form1::ShowTrafficLog);

    // Each language is named in itself, so that it can be found whatever the window speaks now.
    QMenu *language = addMenu("MenuLanguage", QT_TR_NOOP("语言"));
    auto *languages = new QActionGroup(language);
    const auto addLanguage = [&](Language choice, const char *name, const QString &text) {
        QAction *action = language->addAction(text, this, [this, choice] { ChooseLanguage(choice); });
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        languages->addAction(action);
        m_languageActions[int(choice)] = action;
    };
    addLanguage(Language::Chinese, "ChineseAction", QStringLiteral("中文"));
    addLanguage(Language::English, "EnglishAction", QStringLiteral("English"));
    Translated([this] { m_languageActions[int(CurrentLanguage())]->setChecked(true); });

    QMenu *help = addMenu("MenuHelp", QT_TR_NOOP("帮助"));
    addItem(help, "UserGuideAction", QT_TR_NOOP("使用说明"), &Form1::ShowUserGuide);
    addItem(help, "AboutAction", QT_TR_NOOP("关于"), &Form1::ShowAbout);
}

void Form1::ImportKeys() {
    Guarded([this] { KeyFileTransfer(TextPass, m_messages, m_files, this).Import(); });
}

void Form1::ExportKeys() {
    Guarded([this] { KeyFileTransfer(TextPass, m_messages, m_files, this).Export(); });
}

QString Form1::AboutText() {
    return tr("VRX系列在线配置软件（vrx-config）\n"
              "版本 %1\n"
              "读取和配置VRX系列网络读卡器的参数，下载读卡器密码。\n"
              "许可：专有软件。版权所有 © 2026 VRX Config 开发者，保留一切权利；"
              "尚未授予复制或修改本软件的许可。")
        .arg(QStringLiteral(VRX_VERSION));
}

void Form1::ShowUserGuide() {
    if (!UserGuideWindow)
        UserGuideWindow = new UserGuide(this);
    UserGuideWindow->show();
    UserGuideWindow->raise();
    UserGuideWindow->activateWindow();
}

void Form1::ShowAbout() {
    m_messages.Show(AboutText());
}

} // namespace vrx
