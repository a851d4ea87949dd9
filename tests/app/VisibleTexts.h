#pragma once

// Every text a widget and its descendants show: window titles, labels, buttons, group titles, list
// items, grid cells and headers, menus and their items. The language tests compare these between
// languages and look for Chinese characters in them.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTextBrowser>

// "ObjectName: text" for each text, so that a failure names the control.
inline QStringList VisibleTexts(const QWidget *root) {
    QStringList texts;
    const auto add = [&texts](const QObject *owner, const QString &what, const QString &text) {
        if (!text.isEmpty())
            texts << QStringLiteral("%1.%2: %3").arg(owner->objectName(), what, text);
    };
    QList<const QWidget *> widgets{root};
    for (const QWidget *child : root->findChildren<QWidget *>())
        widgets << child;
    for (const QWidget *widget : widgets) {
        if (widget->isWindow())
            add(widget, QStringLiteral("title"), widget->windowTitle());
        add(widget, QStringLiteral("tooltip"), widget->toolTip());
        if (auto *label = qobject_cast<const QLabel *>(widget))
            add(widget, QStringLiteral("text"), label->text());
        if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            add(widget, QStringLiteral("text"), button->text());
        if (auto *group = qobject_cast<const QGroupBox *>(widget))
            add(widget, QStringLiteral("title"), group->title());
        if (auto *edit = qobject_cast<const QLineEdit *>(widget))
            add(widget, QStringLiteral("placeholder"), edit->placeholderText());
        if (auto *list = qobject_cast<const QComboBox *>(widget)) {
            for (int item = 0; item < list->count(); ++item)
                add(widget, QStringLiteral("item%1").arg(item), list->itemText(item));
            add(widget, QStringLiteral("current"), list->currentText());
        }
        if (auto *browser = qobject_cast<const QTextBrowser *>(widget))
            add(widget, QStringLiteral("document"), browser->toPlainText());
        if (auto *table = qobject_cast<const QTableView *>(widget)) {
            const QAbstractItemModel *model = table->model();
            for (int column = 0; model && column < model->columnCount(); ++column)
                add(widget, QStringLiteral("header%1").arg(column),
                    model->headerData(column, Qt::Horizontal).toString());
            for (int row = 0; model && row < model->rowCount(); ++row)
                for (int column = 0; column < model->columnCount(); ++column)
                    add(widget, QStringLiteral("cell%1,%2").arg(row).arg(column),
                        model->index(row, column).data().toString());
        }
        if (auto *menu = qobject_cast<const QMenu *>(widget)) {
            add(widget, QStringLiteral("title"), menu->title());
            for (const QAction *action : menu->actions())
                add(widget, QStringLiteral("item"), action->text());
        }
    }
    return texts;
}

// The texts among `texts` that hold a Chinese character.
inline QStringList WithChinese(const QStringList &texts) {
    static const QRegularExpression han(
        QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    QStringList found;
    for (const QString &text : texts)
        if (text.contains(han))
            found << text;
    return found;
}
