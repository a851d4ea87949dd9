#include "app/Form1.h"

#include "app/FindReaders.h"

#include <QPushButton>

namespace vrx {

void Form1::ShowFindReaders() {
    if (!FindReadersDialog) {
        FindReadersDialog = new FindReaders(
            m_messages, ProtocolTexts(), [this] { return TextPCIP->text(); }, this);
        connect(FindReadersDialog, &FindReaders::readerChosen, this, &Form1::UseFoundReader);
    }
    if (FindReadersDialog->isVisible()) { // open already, perhaps behind the window
        FindReadersDialog->raise();
        FindReadersDialog->activateWindow();
    }
    FindReadersDialog->show();
}

void Form1::UseFoundReader(const FoundReader &reader) {
    TextFindIP[0]->setText(reader.address);
    // A reader found by broadcast answered on a card: that card's address reaches it.
    if (reader.discovered && !reader.cardAddress.isEmpty())
        TextPCIP->setText(reader.cardAddress);
    // As the button does: not while an operation that disables it waits for its reply.
    Command1->click();
}

} // namespace vrx
