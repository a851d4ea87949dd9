#include "app/Form1.h"

#include "app/FindReaders.h"
#include "app/Form1Layout.h"
#include "keys/KeyFrame.h"
#include "words/FieldWords.h"

#include <QAction>
#include <QEvent>

namespace vrx {

void Form1::Translated(std::function<void()> apply) {
    m_texts.add(std::move(apply));
}

void Form1::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        m_texts.run();
        if (FindReadersDialog)
            FindReadersDialog->setChoiceTexts(ListTexts());
    }
    QWidget::changeEvent(event);
}

ChoiceTexts Form1::ListTexts() const {
    const auto items = [](const ListBox *list) {
        QStringList texts;
        for (int item = 0; item < list->count(); ++item)
            texts.append(list->itemText(item));
        return texts;
    };
    return {items(CombUDP[0]), items(CombSend[0]), items(CombBeep[0]), items(CombPass[0])};
}

void Form1::RetranslateListItems() {
    const auto retranslate = [](const std::array<ListBox *, 2> &lists, const auto &items) {
        for (ListBox *list : lists)
            for (int item = 0; item < int(items.size()) && item < list->count(); ++item)
                list->setItemText(item, tr(items[item]));
    };
    retranslate(CombUDP, layout::ProtocolItems);
    retranslate(CombSend, layout::HeartbeatItems);
    retranslate(CombBeep, layout::BeepItems);
    retranslate(CombPass, layout::KeySourceItems);
}

QString Form1::KeyFieldName(int field) {
    return vrx::KeyFieldName(field); // the shared words', which the key download's messages use too
}

void Form1::ChooseLanguage(Language language) {
    RememberLanguage(language);
    if (language != CurrentLanguage())
        UseLanguage(language);
}

} // namespace vrx
