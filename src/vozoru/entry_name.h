// Entry names: 8-bit text in the ANSI code page, turned into UTF-16 output paths.
#pragma once
#include <string>

namespace vozoru {

// Output paths, like every path buffer of the launcher, hold up to 260 characters including
// the terminator.
constexpr size_t kMaxOutputPathChars = 259;

// Converts a name from the ANSI code page. False when it holds bytes the code page does not
// define (an unmappable name cannot be extracted under its own name).
bool AnsiNameToWide(const std::string& name, std::wstring* wide);

// True when a member name, joined to a destination folder, names something inside that
// folder: relative, no drive, stream or UNC prefix, no ".." or dot-only segment, no device
// name, no character Windows would reject or reinterpret.
bool IsContainedEntryName(const std::wstring& name);

// Joins folder and name with one "\"; false when the result exceeds kMaxOutputPathChars.
bool JoinOutputPath(const std::wstring& folder, const std::wstring& name, std::wstring* path);

// The current folder of the process, or false when it cannot be read.
bool GetCurrentFolder(std::wstring* folder);

} // namespace vozoru
