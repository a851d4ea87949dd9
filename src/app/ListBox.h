#pragma once

#include <QComboBox>

namespace vrx {

// A list box of the window. An editable box takes any typed text into its text part; the selection then
// follows the text, whatever brought it (typing, an input method, a screen reader or automation tool
// writing the text part): the item spelt exactly like it (case included) is selected, any other text
// leaves no item selected (-1). Typing never adds an item. A pick-only box accepts no typed text at all.
class ListBox : public QComboBox {
    Q_OBJECT

public:
    enum class Kind { Editable, PickOnly };

    explicit ListBox(Kind kind, QWidget *parent = nullptr);

    Kind kind() const { return m_kind; }

    // Program write of the text part: shown as given, the selection following it as for typed text.
    // A pick-only box has no text part of its own: the matching item is selected, or none.
    void setText(const QString &text);

private:
    void followText(const QString &text);

    Kind m_kind;
    bool m_following = false; // followText() is writing the text part itself
};

} // namespace vrx
