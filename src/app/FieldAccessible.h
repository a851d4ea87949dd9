#pragma once

#include <QAccessibleWidget>

namespace vrx {

class FieldEdit;

// What screen readers and UI automation see of a FieldEdit: an editable text, read as any line edit is
// read. Its writes (the value, and inserting, deleting or replacing text) are edits made on the
// operator's behalf, so they go through FieldEdit::replaceAsOperator: they meet the field's input limit
// and character filter, can be undone, raise Change once, and are refused where the operator cannot
// edit. Qt's own interface for line edits would write with QLineEdit::setText, a program write.
class FieldAccessible final : public QAccessibleWidget,
                              public QAccessibleTextInterface,
                              public QAccessibleEditableTextInterface {
public:
    explicit FieldAccessible(FieldEdit *field);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString &text) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    FieldEdit *field() const;
};

} // namespace vrx
