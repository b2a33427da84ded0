#pragma once
// The language of the texts a player reads, through GNU gettext (the C library's libintl).
// The game's own texts are the message ids, so with no catalogue, or in the C locale, every
// text stays exactly as the game has it.
#include <cstdint>
#include <string>

namespace platform {

// Chooses the language once at start-up, before any text is drawn. An empty override
// follows the desktop's locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as every gettext
// program does, also when the locale itself is not installed on this machine); "C" or
// "POSIX" keeps the game's own texts; anything else is a gettext language list such as
// "en" or "de:en". Catalogues (vexa.mo) are looked for beside the program (the build tree's
// locale/), then in ../share/locale from it, then in the install prefix's share/locale.
void InitTranslations(const std::string& languageOverride);

// The text in the chosen language; the text itself (the same pointer) when there is none.
const char* Translate(const char* text);
// The same for a text that goes with a count n (the count decides the plural form).
const char* TranslateCount(const char* text, uint32_t n);

}  // namespace platform
