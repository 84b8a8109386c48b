#include "ansi_text.h"

#include <windows.h>

#include <climits>
#include <cstring>

namespace zor {

std::wstring AnsiToWide(const char* text, std::size_t length) {
    // The system takes the length as an int.
    if (!text || length == 0 || length > static_cast<std::size_t>(INT_MAX))
        return std::wstring();
    const int size = static_cast<int>(length);
    const int units = ::MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (::MultiByteToWideChar(CP_ACP, 0, text, size, &wide[0], units) != units)
        return std::wstring();
    return wide;
}

std::wstring AnsiToWide(const char* text) {
    return text ? AnsiToWide(text, std::strlen(text)) : std::wstring();
}

} // namespace zor
