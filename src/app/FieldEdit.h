#pragma once

#include "app/OperatorEdit.h"

#include <QLineEdit>

#include <functional>

namespace vrx {

// A text field of the window. Unlike a bare QLineEdit:
// - setText() is a program write: it is never cut to the input limit and raises Change() once, even
//   when the text stays the same; an edit by the operator raises Change() once per edit that changes it;
// - the input limit and the character filter bind only what the operator types, pastes or drops;
// - a key-press handler sees each typed character's code first and may replace it (0 discards it).
// Use FieldEdit::setText, not QLineEdit::setText through a base pointer: only the former raises Change.
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
    friend class Gate;

    int m_inputLimit = 0;
    CharacterFilter m_filter;
    KeyPressHandler m_keyPress;
    QString m_accepted;          // the text as it stood after the last completed change
    bool m_programWrite = false; // set while setText() runs: the gate lets a program write through
    bool m_composing = false;    // an input method is composing text (a preedit is shown)
};

} // namespace vrx
