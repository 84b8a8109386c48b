#include "text_match.h"

#include <cwchar>
#include <cwctype>

namespace zor {

int FindSubstringNoCase(const wchar_t* text, const wchar_t* pattern) {
    if (!text || !pattern)
        return -1;
    const std::size_t textLength = std::wcslen(text);
    const std::size_t patternLength = std::wcslen(pattern);
    if (patternLength == 0 || textLength < patternLength)
        return -1;
    for (std::size_t start = 0; start <= textLength - patternLength; ++start) {
        std::size_t i = 0;
        while (i < patternLength && std::towlower(static_cast<std::wint_t>(text[start + i])) ==
                                        std::towlower(static_cast<std::wint_t>(pattern[i]))) {
            ++i;
        }
        if (i == patternLength) {
            // Texts handled here are command lines and names, far below INT_MAX.
            return static_cast<int>(start);
        }
    }
    return -1;
}

wchar_t* TrimTrailingWhitespace(wchar_t* text) {
    if (!text)
        return text;
    std::size_t length = std::wcslen(text);
    while (length > 0) {
        const wchar_t last = text[length - 1];
        if (last != L' ' && last != L'\t' && last != L'\n' && last != L'\r')
            break;
        --length;
    }
    text[length] = L'\0';
    return text;
}

} // namespace zor
