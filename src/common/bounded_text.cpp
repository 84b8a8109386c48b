#include "bounded_text.h"

#include <cstdio>
#include <cwchar>

namespace zor {

bool CopyText(wchar_t* dest, std::size_t destSize, const wchar_t* text) {
    if (!dest || destSize == 0)
        return false;
    dest[0] = L'\0';
    if (!text)
        return false;
    const std::size_t length = std::wcslen(text);
    if (length >= destSize)
        return false;
    std::wmemcpy(dest, text, length + 1);
    return true;
}

bool FormatText(wchar_t* dest, std::size_t destSize, const wchar_t* format, ...) {
    std::va_list args;
    va_start(args, format);
    const bool ok = FormatTextV(dest, destSize, format, args);
    va_end(args);
    return ok;
}

bool FormatTextV(wchar_t* dest, std::size_t destSize, const wchar_t* format, std::va_list args) {
    if (!dest || destSize == 0)
        return false;
    dest[0] = L'\0';
    if (!format)
        return false;
    // Measure first: the runtime's bounded formatter leaves the buffer unterminated when the
    // text fills it exactly.
    std::va_list measureArgs;
    va_copy(measureArgs, args);
    const int length = _vscwprintf(format, measureArgs);
    va_end(measureArgs);
    if (length < 0 || static_cast<std::size_t>(length) >= destSize)
        return false;
    std::va_list formatArgs;
    va_copy(formatArgs, args);
    const int written = _vsnwprintf(dest, destSize, format, formatArgs);
    va_end(formatArgs);
    if (written != length) {
        dest[0] = L'\0';
        return false;
    }
    dest[length] = L'\0';
    return true;
}

} // namespace zor
