// Forms a temporary-style file name such as "_VX1A2B..tmp" without creating a file.
#pragma once

#include <cstddef>

// Asks the system's temporary-file-name service for a name in "." with the prefix (the
// service uses at most three characters of it) and a random unique number, then writes the
// base name, a period and the extension with its own period. Returns 1 when output received
// the name; 0 leaves output as it was.
int MakeTemporaryName(const wchar_t* prefix, wchar_t* output, std::size_t outputSize);
