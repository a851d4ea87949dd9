#include "app/ListBox.h"

#include "app/AccessibleFactory.h"
#include "app/ListBoxAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace vrx {

ListBox::ListBox(Kind kind, QWidget *parent)
    : QComboBox(parent)
    , m_kind(kind) {
    InstallAccessibleFactory<ListBox, ListBoxAccessible>();
    // The popup list keeps the current item selected while closed, so that assistive technology finds
    // the selected item there; the box's value and text are the same item's text.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QModelIndex item = model()->index(index, modelColumn(), rootModelIndex());
        view()->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
        QAccessibleValueChangeEvent changed(this, currentText());
        QAccessible::updateAccessibility(&changed);
    });
    if (kind == Kind::Editable) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr); // no inline completion: the text part shows exactly what was typed
        // Every change of the text part, not only typing: a screen reader writes it with setText.
        // A text that already reads as the selected item (a selection by the program writes its text
        // here too) needs nothing.
        connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
            if (!m_following && itemText(currentIndex()) != text)
                followText(text);
        });
    }
}

void ListBox::setText(const QString &text) {
    if (m_kind == Kind::PickOnly) {
        setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        return;
    }
    followText(text);
    lineEdit()->end(false);
}

void ListBox::followText(const QString &text) {
    QLineEdit *edit = lineEdit();
    const int cursor = edit->cursorPosition();
    const QScopedValueRollback following(m_following, true);
    // Selecting rewrites the text part (selecting none empties it), so the text is put back afterwards.
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (edit->text() != text)
        edit->setText(text);
    edit->setCursorPosition(cursor);
}

// The style's frame above and below the text part; it does not depend on the font.
int ListBox::frameHeight() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    constexpr int Probe = 100; // any height well above the frame's: the frame is what remains
    option.rect = QRect(0, 0, width(), Probe);
    return Probe -
           style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).height();
}

QSize ListBox::sizeHint() const {
    return {QComboBox::sizeHint().width(), fontMetrics().height() + frameHeight()};
}

QSize ListBox::minimumSizeHint() const {
    return {QComboBox::minimumSizeHint().width(), fontMetrics().height() + frameHeight()};
}

void ListBox::fitFontToHeight(int pixels) {
    if (!m_popupFont)
        m_popupFont = font();
    const int frame = frameHeight();
    QFont fitted = font();
    while (fitted.pointSizeF() > 6.0 && QFontMetrics(fitted, this).height() + frame > pixels)
        fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
    if (fitted != font())
        setFont(fitted);
}

void ListBox::showPopup() {
    if (m_popupFont)
        view()->setFont(*m_popupFont);
    QComboBox::showPopup();
}

} // namespace vrx
