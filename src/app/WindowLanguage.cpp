#include "app/WindowLanguage.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>

#include <memory>
#include <vector>

namespace vrx {

namespace {

// Where qt_add_translations puts the compiled catalogues of every part of the program.
const QString CatalogueFolder = QStringLiteral(":/i18n");
const QString LanguageKey = QStringLiteral("window/language");

struct Loaded {
    Language language = Language::Chinese;
    std::vector<std::unique_ptr<QTranslator>> translators;
};

Loaded &loaded() {
    static Loaded state;
    return state;
}

// The settings of this program for this user, whatever the application's name (a test's executable
// has its own).
QSettings userSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vrx-config"),
                     QStringLiteral("vrx-config"));
}

std::vector<std::unique_ptr<QTranslator>> translatorsFor(Language language) {
    std::vector<std::unique_ptr<QTranslator>> translators;
    if (language == Language::English) {
        const QStringList catalogues =
            QDir(CatalogueFolder).entryList({QStringLiteral("*_en.qm")}, QDir::Files);
        for (const QString &name : catalogues) {
            auto translator = std::make_unique<QTranslator>();
            if (translator->load(name, CatalogueFolder))
                translators.push_back(std::move(translator));
        }
    } else {
        // The toolkit's texts in Chinese, when Debian's Qt translations are installed; without them
        // they stay in English and nothing else changes.
        auto toolkit = std::make_unique<QTranslator>();
        if (toolkit->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            translators.push_back(std::move(toolkit));
    }
    return translators;
}

} // namespace

void UseLanguage(Language language) {
    Loaded &state = loaded();
    // The new translators go in before the old ones leave, so that every widget retranslates with
    // the new catalogue already in place (each change sends a LanguageChange).
    auto translators = translatorsFor(language);
    for (const auto &translator : translators)
        QCoreApplication::installTranslator(translator.get());
    for (const auto &translator : state.translators)
        QCoreApplication::removeTranslator(translator.get());
    state.translators = std::move(translators);
    state.language = language;
}

Language CurrentLanguage() {
    return loaded().language;
}

Language RememberedLanguage() {
    return LanguageFromCode(userSettings().value(LanguageKey).toString()).value_or(Language::Chinese);
}

void RememberLanguage(Language language) {
    QSettings settings = userSettings();
    settings.setValue(LanguageKey, LanguageCode(language));
    settings.sync();
}

Language StartingLanguage(std::optional<Language> requested) {
    return requested.value_or(RememberedLanguage());
}

QString LanguageCode(Language language) {
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

std::optional<Language> LanguageFromCode(const QString &code) {
    if (code == QLatin1String("en"))
        return Language::English;
    if (code == QLatin1String("zh"))
        return Language::Chinese;
    return std::nullopt;
}

} // namespace vrx
