// Conversion between the host's UTF-8 file names and the Windows code page 1252, the ANSI code
// page in which the launcher reads member names.
#pragma once
#include <string>

namespace zorpack {

// Converts UTF-8 text to code page 1252. Returns false when the text is not valid UTF-8 or holds
// a character that code page 1252 cannot represent; `problem` then describes the first one.
bool utf8ToCp1252(const std::string& utf8, std::string& cp1252, std::string& problem);

// Converts code page 1252 text to UTF-8 for display. Control characters and the five byte values
// that code page 1252 leaves undefined are shown as "\xNN" so that any name prints safely.
std::string cp1252ToDisplayUtf8(const std::string& cp1252);

} // namespace zorpack
