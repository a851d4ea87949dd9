#include "app/LocalAddressCompleter.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>

#include <algorithm>

namespace vrx {

namespace {

// Completion matches and inserts the address; the list shows the entry text.
constexpr int AddressRole = Qt::UserRole;

} // namespace

LocalAddressCompleter::LocalAddressCompleter(QLineEdit *field)
    : QCompleter(field)
    , m_field(field)
    , m_cards(new QStandardItemModel(this)) {
    setModel(m_cards);
    setCompletionRole(AddressRole);
    setCompletionMode(QCompleter::PopupCompletion);
    setCaseSensitivity(Qt::CaseSensitive);
    field->setCompleter(this);
}

QString LocalAddressCompleter::EntryText(const LocalCard &card) {
    return card.addressText() + QStringLiteral("  ") + card.name;
}

void LocalAddressCompleter::setCards(const QList<LocalCard> &cards) {
    QList<LocalCard> ordered = cards;
    std::stable_partition(ordered.begin(), ordered.end(),
                          [](const LocalCard &card) { return !card.loopback; });
    m_cards->clear();
    for (const LocalCard &card : ordered) {
        auto *item = new QStandardItem(EntryText(card));
        item->setData(card.addressText(), AddressRole);
        item->setEditable(false);
        m_cards->appendRow(item);
    }
}

bool LocalAddressCompleter::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_field)
        return QCompleter::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) { // not back from the list
        setCards(LocalCards());
    } else if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Down &&
               static_cast<QKeyEvent *>(event)->modifiers() == Qt::NoModifier && !popup()->isVisible()) {
        setCompletionPrefix(QString());
        complete();
        return true;
    }
    // The completer's own filter keeps the field from taking its list's opening as a focus loss.
    return QCompleter::eventFilter(watched, event);
}

} // namespace vrx
