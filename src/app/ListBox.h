#pragma once

#include <QComboBox>
#include <QFont>

#include <optional>

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

    // The box's height follows from its font: the text's height and the frame the style draws around
    // the text part, nothing more.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Shrinks the box's font, half a point at a time, until the box fits `pixels` (no further than 6
    // points). The popup list keeps the font the box had, so the choices read as the rest of the window.
    void fitFontToHeight(int pixels);

    void showPopup() override;

private:
    void followText(const QString &text);
    int frameHeight() const;

    Kind m_kind;
    bool m_following = false;         // followText() is writing the text part itself
    std::optional<QFont> m_popupFont; // the font before fitFontToHeight() shrank it
};

} // namespace vrx
