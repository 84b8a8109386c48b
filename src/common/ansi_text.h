// Conversion of 8-bit text in the system's ANSI code page (archive entry names, the license
// text) into the UTF-16 text the programs work with.
#pragma once

#include <cstddef>
#include <string>

namespace zor {

// Converts the first `length` bytes of `text` (zero bytes included) from the ANSI code page.
// Empty when `text` is null, `length` is 0 or too large for the system call, or the
// conversion fails.
std::wstring AnsiToWide(const char* text, std::size_t length);

// Converts the zero-terminated `text`; empty when it is null or empty.
std::wstring AnsiToWide(const char* text);

} // namespace zor
