#include "app/FieldAccessible.h"

#include "app/FieldEdit.h"

namespace vrx {

FieldAccessible::FieldAccessible(FieldEdit *field)
    : QAccessibleWidget(field, QAccessible::EditableText) {}

FieldEdit *FieldAccessible::field() const {
    return static_cast<FieldEdit *>(widget());
}

void *FieldAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State FieldAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = field()->acceptsOperatorEdits();
    state.readOnly = field()->isReadOnly();
    state.selectableText = true;
    return state;
}

QString FieldAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value)
        return field()->text();
    return QAccessibleWidget::text(type);
}

void FieldAccessible::setText(QAccessible::Text type, const QString &text) {
    if (type == QAccessible::Value)
        field()->replaceAsOperator(0, characterCount(), text);
    else
        QAccessibleWidget::setText(type, text);
}

void FieldAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !field()->hasSelectedText())
        return;
    *startOffset = field()->selectionStart();
    *endOffset = field()->selectionEnd();
}

int FieldAccessible::selectionCount() const {
    return field()->hasSelectedText() ? 1 : 0;
}

// A line edit has one selection at most: adding one replaces it.
void FieldAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void FieldAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        field()->deselect();
}

void FieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0)
        field()->setSelection(startOffset, endOffset - startOffset);
}

int FieldAccessible::cursorPosition() const {
    return field()->cursorPosition();
}

void FieldAccessible::setCursorPosition(int position) {
    field()->setCursorPosition(position);
}

QString FieldAccessible::text(int startOffset, int endOffset) const {
    if (startOffset > endOffset)
        return QString();
    return field()->text().mid(startOffset, endOffset - startOffset);
}

int FieldAccessible::characterCount() const {
    return int(field()->text().size());
}

QRect FieldAccessible::characterRect(int offset) const {
    const QRect local = field()->characterRect(offset);
    if (local.isEmpty())
        return local;
    return QRect(field()->mapToGlobal(local.topLeft()), local.size());
}

int FieldAccessible::offsetAtPoint(const QPoint &point) const {
    return field()->cursorPositionAt(field()->mapFromGlobal(point));
}

// Moving the caret to the end and then to the start scrolls the whole range into view where it fits.
void FieldAccessible::scrollToSubstring(int startIndex, int endIndex) {
    field()->setCursorPosition(endIndex);
    field()->setCursorPosition(startIndex);
}

// The whole text has one look: no attributes, over the whole text.
QString FieldAccessible::attributes(int offset, int *startOffset, int *endOffset) const {
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

void FieldAccessible::deleteText(int startOffset, int endOffset) {
    field()->replaceAsOperator(startOffset, endOffset, QString());
}

void FieldAccessible::insertText(int offset, const QString &text) {
    field()->replaceAsOperator(offset, offset, text);
}

void FieldAccessible::replaceText(int startOffset, int endOffset, const QString &text) {
    field()->replaceAsOperator(startOffset, endOffset, text);
}

} // namespace vrx
