#pragma once

#include "app/OperatorEdit.h"

#include <QLineEdit>

#include <functional>

namespace vrx {

// A text field of the window. Unlike a bare QLineEdit:
// - setText() is a program write: it is never cut to the input limit and raises Change() once, even
//   when the text stays the same;
// - every other change of the text raises Change() once, whatever brought it: typing, paste, drop, an
//   input method, undo and redo, a screen reader or automation tool (see FieldAccessible), or a write
//   through the plain QLineEdit (a completer);
// - the input limit and the character filter bind every edit but the program's;
// - a key-press handler sees each typed character's code first and may replace it (0 discards it).
class FieldEdit : public QLineEdit {
    Q_OBJECT

public:
    using KeyPressHandler = std::function<void(char16_t &code)>;

    explicit FieldEdit(QWidget *parent = nullptr);
    ~FieldEdit() override;

    // Most characters the operator may bring into the field; 0 means no limit.
    void setInputLimit(int characters) { m_inputLimit = characters; }
    int inputLimit() const { return m_inputLimit; }

    // Characters the operator may bring in by paste, drop or input method; empty lets all through.
    void setCharacterFilter(CharacterFilter accept) { m_filter = std::move(accept); }
    void setKeyPressHandler(KeyPressHandler handler) { m_keyPress = std::move(handler); }

    void setText(const QString &text);

    // Whether the operator can edit the field at all: it is enabled and not read-only.
    bool acceptsOperatorEdits() const { return isEnabled() && !isReadOnly(); }
    // Replaces the characters from `start` to `end` by `text` as the operator would, by selecting them
    // and pasting: the limit and the filter apply and the edit can be undone. Does nothing where the
    // operator cannot edit. The way in for edits made on the operator's behalf (FieldAccessible).
    void replaceAsOperator(int start, int end, const QString &text);
    // Where the character at `offset` is drawn, in the field's coordinates; empty past the text.
    QRect characterRect(int offset) const;

    // Shrinks the field's font until `sample` fits its width without scrolling (a narrow field must
    // still show a whole key).
    void fitFontTo(const QString &sample);

signals:
    void Change();
    void GotFocus();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    class Gate;
    bool isRewriteNoOp(const QString &text) const;
    void onTextChanged(const QString &text);
    friend class Gate;

    int m_inputLimit = 0;
    CharacterFilter m_filter;
    KeyPressHandler m_keyPress;
    QString m_accepted;          // the text as it stood after the last completed change
    bool m_programWrite = false; // set while setText() runs: the gate lets a program write through
    bool m_composing = false;    // an input method is composing text (a preedit is shown)
};

} // namespace vrx
