// The two-letter language code of the system's default locale, and the resource language
// that goes with it.
#pragma once
#include <windows.h>

namespace zor {

// Writes "en", "fr", "es", "de", "it", "ja" or "zh" (and a terminator) into `code`, which
// holds at least 3 characters.
void GetLanguageCode(wchar_t* code, size_t capacity);

// Maps an English language name as the locale reports it ("Japanese", "Chinese (Simplified)")
// to its code ("ja", "zh"); any name that is not known gives "en".
const wchar_t* LanguageCodeFromEnglishName(const wchar_t* englishName);

// The string tables and dialogs exist in English, Japanese and Chinese (Simplified): the
// resource language for a language code, English for every other code.
LANGID ResourceLanguageFor(const wchar_t* languageCode);

} // namespace zor
