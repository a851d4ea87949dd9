#include "app/ListBox.h"

#include "app/ListBoxAccessible.h"

#include <QLineEdit>
#include <QScopedValueRollback>

namespace vrx {

ListBox::ListBox(Kind kind, QWidget *parent)
    : QComboBox(parent)
    , m_kind(kind) {
    ListBoxAccessible::Install();
    if (kind == Kind::Editable) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr); // no inline completion: the text part shows exactly what was typed
        // Every change of the text part, not only typing: a screen reader writes it with setText.
        connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
            if (!m_following)
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

} // namespace vrx
