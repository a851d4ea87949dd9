#pragma once

#include <QAccessibleWidget>

namespace vrx {

class ListBox;

// What screen readers and UI automation see of a ListBox: a combo box whose name is the list's accessible
// name and whose value is its text, also offered as the box's text (what AT-SPI reads), with the
// current item selected in its popup list whether or not that is open. Qt's own interface for combo boxes
// names a box, on Linux, by its current text, leaving the name to a label widget beside it; the window's
// lists sit in grid rows that have no label widget, so each list carries its name itself. Children and
// actions are those of Qt's own interface: the popup list, the text part of an editable box, and opening the
// popup.
class ListBoxAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ListBoxAccessible(ListBox *list);

    void *interface_cast(QAccessible::InterfaceType type) override;

    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *focusChild() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
    QStringList keyBindingsForAction(const QString &actionName) const override;

    // The text interface: the value, read only, with no selection and the cursor at its start.
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    ListBox *list() const;
    QString value() const;
};

} // namespace vrx
