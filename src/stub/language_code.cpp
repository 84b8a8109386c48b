#include "language_code.h"

#include <cwchar>
#include <string>

namespace zor {

const wchar_t* LanguageCodeFromEnglishName(const wchar_t* englishName) {
    static const struct {
        const wchar_t* name;
        const wchar_t* code;
    } kNames[] = {{L"french", L"fr"},   {L"spanish", L"es"},  {L"german", L"de"},
                  {L"italian", L"it"},  {L"japanese", L"ja"}, {L"chinese", L"zh"}};
    if (!englishName) return L"en";
    // Some systems qualify the name ("Chinese (Simplified)"); the language is the part before
    // the parenthesis.
    std::wstring language = englishName;
    const size_t qualifier = language.find(L" (");
    if (qualifier != std::wstring::npos) language.erase(qualifier);
    for (const auto& entry : kNames)
        if (_wcsicmp(language.c_str(), entry.name) == 0) return entry.code;
    return L"en";
}

void GetLanguageCode(wchar_t* code, size_t capacity) {
    if (!code || capacity < 3) return;
    wchar_t name[256] = {};
    if (!::GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SENGLANGUAGE, name, 256)) name[0] = 0;
    const wchar_t* result = LanguageCodeFromEnglishName(name);
    code[0] = result[0];
    code[1] = result[1];
    code[2] = L'\0';
}

LANGID ResourceLanguageFor(const wchar_t* languageCode) {
    if (languageCode && _wcsicmp(languageCode, L"ja") == 0)
        return MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    if (languageCode && _wcsicmp(languageCode, L"zh") == 0)
        return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
    return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

} // namespace zor
