#pragma once

namespace vrx {

// Puts the English catalogue of the shared words (":/i18n/words_en.qm", from translations/words_en.ts)
// in front of their Chinese source texts, or takes it away again. vrxctl always speaks English; the
// window loads every English catalogue at once through WindowLanguage. Returns false when the catalogue
// is missing from the program.
bool UseEnglishWords(bool english);

} // namespace vrx
