#pragma once

#include <QAccessibleWidget>

namespace vrx {

class ListBox;

// What screen readers and UI automation see of a ListBox: a combo box whose name is the list's accessible
// name and whose value is its text. Qt's own interface for combo boxes names a box, on Linux, by its
// current text, leaving the name to a label widget beside it; the window's lists sit in grid rows that
// have no label widget, so each list carries its name itself. Children and actions are those of Qt's own
// interface: the popup list, the text part of an editable box, and opening the popup.
class ListBoxAccessible final : public QAccessibleWidget {
public:
    explicit ListBoxAccessible(ListBox *list);

    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *focusChild() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

private:
    ListBox *list() const;
};

} // namespace vrx
