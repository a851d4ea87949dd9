#pragma once

// Chooses menu items of the window as the operator does: a click on the menu's title in the menu bar,
// then a click on the item in the menu that opens.
#include "app/FileChooser.h"
#include "app/Form1.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>

// Every menu of the bar, in order: its title and the texts of its items, separators left out.
inline QList<std::pair<QString, QStringList>> MenuTexts(const QMenuBar *bar) {
    QList<std::pair<QString, QStringList>> menus;
    for (QAction *title : bar->actions()) {
        QStringList items;
        for (QAction *item : title->menu()->actions())
            if (!item->isSeparator())
                items << item->text();
        menus.append({title->text(), items});
    }
    return menus;
}

// False (with the reason in `failure`) when the menu or the item is missing or does not open.
inline bool ChooseMenuItem(vrx::Form1 *form, const QString &menuTitle, const QString &itemText,
                           QString *failure) {
    QMenuBar *bar = form->MenuBar;
    QAction *title = nullptr;
    for (QAction *action : bar->actions())
        if (action->text() == menuTitle)
            title = action;
    if (!title || !title->menu()) {
        *failure = QStringLiteral("no menu ") + menuTitle;
        return false;
    }
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(title).center());
    QMenu *menu = title->menu();
    if (!QTest::qWaitFor([&] { return menu->isVisible(); }, 2000)) {
        *failure = QStringLiteral("menu %1 did not open").arg(menuTitle);
        return false;
    }
    for (QAction *item : menu->actions()) {
        if (item->text() == itemText) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
            return true;
        }
    }
    menu->hide();
    *failure = QStringLiteral("no item %1 in menu %2").arg(itemText, menuTitle);
    return false;
}

// Answers the window's file questions with names the test chose, and counts them.
class FileNamer final : public vrx::FileChooser {
public:
    QString FileToOpen(QWidget *, const QString &caption, const QString &) override {
        captions << caption;
        return openName;
    }
    QString FileToSave(QWidget *, const QString &caption, const QString &, const QString &) override {
        captions << caption;
        return saveName;
    }
    QString openName; // empty: the operator cancels
    QString saveName;
    QStringList captions;
};
