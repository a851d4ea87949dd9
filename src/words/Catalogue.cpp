#include "words/Catalogue.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace vrx {

bool UseEnglishWords(bool english) {
    static std::unique_ptr<QTranslator> words;
    if (words) {
        QCoreApplication::removeTranslator(words.get());
        words.reset();
    }
    if (!english)
        return true;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/words_en.qm")))
        return false;
    QCoreApplication::installTranslator(translator.get());
    words = std::move(translator);
    return true;
}

} // namespace vrx
