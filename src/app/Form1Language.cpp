#include "app/Form1.h"

#include <QAction>
#include <QEvent>

namespace vrx {

void Form1::Translated(std::function<void()> apply) {
    apply();
    m_translations.push_back(std::move(apply));
}

void Form1::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        for (const auto &apply : m_translations)
            apply();
    QWidget::changeEvent(event);
}

void Form1::ChooseLanguage(Language language) {
    RememberLanguage(language);
    if (language != CurrentLanguage())
        UseLanguage(language);
}

} // namespace vrx
