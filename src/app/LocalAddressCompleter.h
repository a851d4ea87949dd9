#pragma once

#include "link/LocalCards.h"

#include <QCompleter>

class QLineEdit;
class QStandardItemModel;

namespace vrx {

// Offers this computer's IPv4 addresses as completions of an address field: the list shows each with
// its card's name ("198.18.0.1  eth0") and a choice inserts the address alone. The field stays free
// text; nothing is checked or refused. Typing shows the addresses that begin with what is typed, the
// Down key all of them. The list is read from the system each time the field gets the focus, so a
// card that came up after start-up is offered too, and start-up pays nothing for it.
class LocalAddressCompleter final : public QCompleter {
    Q_OBJECT

public:
    // Becomes the field's completer, owned by the field.
    explicit LocalAddressCompleter(QLineEdit *field);

    // Replaces the list; cards that are not loopback come first, in the system's order.
    void setCards(const QList<LocalCard> &cards);

    // The text a card is listed with.
    static QString EntryText(const LocalCard &card);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_field;
    QStandardItemModel *m_cards;
};

} // namespace vrx
