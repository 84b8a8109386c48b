// The folder browser that asks where Extract... should put the package contents.
#pragma once
#include <windows.h>

#include <cstddef>

namespace zor {

// Shows the shell's folder browser over `owner`, starting at the launcher's own folder, and
// writes the chosen file-system folder into `path` (`capacity` characters, terminator
// included). False when the user cancelled, chose a folder that is not in the file system
// (after telling them so) or the path does not fit.
bool BrowseForExtractFolder(HWND owner, wchar_t* path, size_t capacity);

} // namespace zor
