#include "app/ListBoxAccessible.h"

#include "app/ListBox.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace vrx {

ListBoxAccessible::ListBoxAccessible(ListBox *list)
    : QAccessibleWidget(list, QAccessible::ComboBox) {}

ListBox *ListBoxAccessible::list() const {
    return static_cast<ListBox *>(widget());
}

QAccessible::State ListBoxAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = list()->view()->isVisible();
    state.editable = list()->isEditable();
    return state;
}

QString ListBoxAccessible::value() const {
    return list()->isEditable() ? list()->lineEdit()->text() : list()->currentText();
}

void *ListBoxAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString ListBoxAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value)
        return value();
    const QString own = QAccessibleWidget::text(type);
    return own.isEmpty() && type == QAccessible::Name ? value() : own;
}

QString ListBoxAccessible::text(int startOffset, int endOffset) const {
    return value().mid(startOffset, endOffset - startOffset);
}

int ListBoxAccessible::characterCount() const {
    return int(value().size());
}

void ListBoxAccessible::selection(int, int *startOffset, int *endOffset) const {
    *startOffset = *endOffset = 0;
}

QString ListBoxAccessible::attributes(int offset, int *startOffset, int *endOffset) const {
    *startOffset = *endOffset = offset;
    return {};
}

// The popup list first, then the text part of an editable box.
int ListBoxAccessible::childCount() const {
    return list()->isEditable() ? 2 : 1;
}

QAccessibleInterface *ListBoxAccessible::child(int index) const {
    if (index == 0)
        return QAccessible::queryAccessibleInterface(list()->view());
    if (index == 1 && list()->isEditable())
        return QAccessible::queryAccessibleInterface(list()->lineEdit());
    return nullptr;
}

int ListBoxAccessible::indexOfChild(const QAccessibleInterface *child) const {
    if (!child)
        return -1;
    if (child->object() == list()->view())
        return 0;
    if (list()->isEditable() && child->object() == list()->lineEdit())
        return 1;
    return -1;
}

// An editable box is the focus proxy of its text part, which itself never has the focus.
QAccessibleInterface *ListBoxAccessible::focusChild() const {
    return list()->isEditable() ? child(1) : nullptr;
}

QStringList ListBoxAccessible::actionNames() const {
    return {showMenuAction(), pressAction()};
}

void ListBoxAccessible::doAction(const QString &actionName) {
    if (actionName != showMenuAction() && actionName != pressAction())
        return;
    if (list()->view()->isVisible())
        list()->hidePopup();
    else
        list()->showPopup();
}

QStringList ListBoxAccessible::keyBindingsForAction(const QString &) const {
    return {};
}

} // namespace vrx
