// Bounded copies and formatting into fixed-size wide-character buffers. Both refuse a text that
// does not fit instead of cutting it, and always leave the buffer terminated.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace zor {

// Copies text into dest; false (dest empty) when it does not fit or an argument is missing.
bool CopyText(wchar_t* dest, std::size_t destSize, const wchar_t* text);

// Formats with the runtime's wide printf rules ("%s" takes a wide string); false (dest empty)
// when the result does not fit or the format is invalid.
bool FormatText(wchar_t* dest, std::size_t destSize, const wchar_t* format, ...);
bool FormatTextV(wchar_t* dest, std::size_t destSize, const wchar_t* format, std::va_list args);

} // namespace zor
