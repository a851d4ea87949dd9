#pragma once

#include <QString>

#include <optional>

namespace vrx {

// The two languages the window speaks. Chinese is the window's own: its texts are the source texts of
// the translations, and none of the program's translations is loaded for it. English loads every
// English catalogue compiled into the program (":/i18n/*_en.qm").
enum class Language { Chinese, English };

// Switches the whole program to `language`: the program's catalogues and the toolkit's own texts (the
// file dialogs' buttons, a line edit's context menu). Every widget then receives a LanguageChange event
// and sets its texts again; nothing needs a restart.
void UseLanguage(Language language);
Language CurrentLanguage();

// The user's choice, kept in the user's settings: the one thing the window remembers between runs.
// Chinese until the user chose otherwise.
Language RememberedLanguage();
void RememberLanguage(Language language);

// The language a run starts in: the one asked for on the command line, else the remembered one.
Language StartingLanguage(std::optional<Language> requested);

// "zh" and "en", as the command line and the settings spell them.
QString LanguageCode(Language language);
std::optional<Language> LanguageFromCode(const QString &code);

} // namespace vrx
