#include "app/FieldEdit.h"

#include "app/AccessibleFactory.h"
#include "app/FieldAccessible.h"
#include "app/KeyCharacter.h"

#include <QAccessible>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

#include <algorithm>

namespace vrx {

// Every change of the line edit's text passes its validator, whatever brought it (typing, paste,
// drag and drop, input method, undo). The gate judges the operator's edits and waves program writes
// through, which is how the limit binds the operator but never what the program writes.
class FieldEdit::Gate final : public QValidator {
public:
    explicit Gate(FieldEdit *field)
        : QValidator(field)
        , m_field(field) {}

    State validate(QString &input, int &pos) const override {
        if (m_field->m_programWrite)
            return Acceptable;
        const auto edit =
            JudgeOperatorEdit(m_field->m_accepted, input, pos, m_field->m_inputLimit, m_field->m_filter);
        if (!edit)
            return Invalid;
        input = edit->text;
        pos = edit->cursor;
        return Acceptable;
    }

private:
    FieldEdit *m_field;
};

FieldEdit::FieldEdit(QWidget *parent)
    : QLineEdit(parent) {
    InstallAccessibleFactory<FieldEdit, FieldAccessible>();
    setValidator(new Gate(this));
    connect(this, &QLineEdit::textChanged, this, &FieldEdit::onTextChanged);
}

FieldEdit::~FieldEdit() = default;

void FieldEdit::setText(const QString &text) {
    if (!isRewriteNoOp(text)) {
        m_programWrite = true;
        QLineEdit::setText(text);
        m_programWrite = false;
    }
    m_accepted = text;
    emit Change();
}

// Writing the text the field already shows resets cursor, selection, undo history, the modified flag and
// any composition, and tells the input method and accessibility clients; when all of those are already
// as a write leaves them, the write would change nothing and is skipped. A read of the same reader
// writes the same eleven values again, and each such write cost more than the exchange's datagram.
bool FieldEdit::isRewriteNoOp(const QString &text) const {
    return !(hasFocus() && m_composing) && !QAccessible::isActive() && inputMask().isEmpty() &&
           !hasSelectedText() && !isModified() && !isUndoAvailable() && !isRedoAvailable() &&
           cursorPosition() == text.size() && QLineEdit::text() == text;
}

// The line edit reports every change of its text here, whatever made it, once the gate has judged it.
// A program write raises Change itself, once, even when it leaves the text as it was.
void FieldEdit::onTextChanged(const QString &text) {
    m_accepted = text;
    if (!m_programWrite)
        emit Change();
}

void FieldEdit::replaceAsOperator(int start, int end, const QString &text) {
    if (!acceptsOperatorEdits())
        return;
    const int length = int(QLineEdit::text().size());
    start = std::clamp(start, 0, length);
    end = std::clamp(end, start, length);
    if (start == end && text.isEmpty())
        return; // nothing to delete and nothing to insert: not an edit
    setSelection(start, end - start);
    insert(text); // judged by the gate as a paste over the selection, undoable, raises Change
}

// The caret's rectangle is centred on the caret line and tells where the shown text starts after any
// scrolling; the character's place follows from the advance of the text before it.
QRect FieldEdit::characterRect(int offset) const {
    const QString shown = QLineEdit::text();
    if (offset < 0 || offset >= shown.size())
        return QRect();
    const QFontMetrics metrics = fontMetrics();
    const QRect caret = cursorRect();
    const int left = caret.center().x() + metrics.horizontalAdvance(shown.left(offset)) -
                     metrics.horizontalAdvance(shown.left(cursorPosition()));
    return QRect(left, caret.top(), metrics.horizontalAdvance(shown.at(offset)), metrics.height());
}

void FieldEdit::fitFontTo(const QString &sample) {
    QStyleOptionFrame option;
    initStyleOption(&option);
    constexpr int innerMargins = 2 * 2 + 1; // the line edit's own margin on each side, and the caret
    const int room =
        style()->subElementRect(QStyle::SE_LineEditContents, &option, this).width() - innerMargins;
    QFont fitted = font();
    while (fitted.pointSizeF() > 6.0 && QFontMetrics(fitted).horizontalAdvance(sample) > room)
        fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
    setFont(fitted);
}

void FieldEdit::keyPressEvent(QKeyEvent *event) {
    if (m_keyPress) {
        if (const auto typed = CharacterCode(*event)) {
            char16_t code = *typed;
            m_keyPress(code);
            if (code == 0) {
                event->accept();
                return;
            }
            if (code != *typed) {
                insert(QString(QChar(code)));
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void FieldEdit::inputMethodEvent(QInputMethodEvent *event) {
    QLineEdit::inputMethodEvent(event);
    m_composing = !event->preeditString().isEmpty();
}

void FieldEdit::focusInEvent(QFocusEvent *event) {
    QLineEdit::focusInEvent(event);
    emit GotFocus();
}

} // namespace vrx
