#include "app/UserGuide.h"

#include "app/WindowLanguage.h"

#include <QEvent>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vrx {

UserGuide::UserGuide(QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("UserGuide"));
    Text = new QTextBrowser(this);
    Text->setObjectName(QStringLiteral("UserGuideText"));
    Text->setOpenLinks(false); // the guide is one page; nothing leaves the program
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Text);
    resize(640, 560);
    ShowInLanguage();
}

QString UserGuide::PageFor(bool english) {
    return english ? QStringLiteral(":/guide/guide_en.html") : QStringLiteral(":/guide/guide_zh.html");
}

void UserGuide::ShowInLanguage() {
    setWindowTitle(tr("使用说明"));
    Text->setAccessibleName(windowTitle());
    Text->setSource(QUrl(QStringLiteral("qrc") + PageFor(CurrentLanguage() == Language::English)));
}

void UserGuide::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        ShowInLanguage();
    QDialog::changeEvent(event);
}

} // namespace vrx
