// Creation of output folders for extraction.
#pragma once
#include <string>

namespace vozoru {

// True when the path starts with a drive letter, ":" and a separator ("C:\" or "C:/").
bool IsDriveRootedPath(const wchar_t* path);

// Creates every missing folder of a drive-rooted path (either separator, trailing separator
// optional). True when the whole path exists as a folder afterwards; a path without a
// drive root is refused.
bool MakeFolderPath(const wchar_t* path);

// The folder part of a path including its last separator, or empty when it has none.
std::wstring FolderPartOf(const std::wstring& path);

inline bool IsPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

} // namespace vozoru
