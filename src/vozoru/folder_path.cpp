#include "folder_path.h"

#include <windows.h>

namespace vozoru {
namespace {

bool IsAsciiLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Errors that mean "something of that name is there already" (or, for 206, that the name
// cannot be made at all); whether it is a usable folder is checked separately.
bool IsToleratedCreateError(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
           error == ERROR_FILENAME_EXCED_RANGE;
}

bool CreateOneFolder(const wchar_t* path) {
    if (CreateDirectoryW(path, nullptr))
        return true;
    return IsToleratedCreateError(GetLastError());
}

bool IsExistingFolder(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

bool IsDriveRootedPath(const wchar_t* path) {
    return path && IsAsciiLetter(path[0]) && path[1] == L':' && IsPathSeparator(path[2]);
}

bool MakeFolderPath(const wchar_t* path) {
    if (!IsDriveRootedPath(path))
        return false;
    // Most calls (one for every extracted file) find the folder in place already; asking for
    // its attributes settles that more cheaply than a creation attempt that fails, and ends
    // the same way a creation refused as "already exists" would.
    if (IsExistingFolder(path))
        return true;
    // A tolerated error alone is not success: a file of that name, or a name too long to
    // create, is no folder.
    if (CreateDirectoryW(path, nullptr))
        return true;
    if (IsToleratedCreateError(GetLastError()) && IsExistingFolder(path))
        return true;

    std::wstring walk(path);
    if (!IsPathSeparator(walk.back()))
        walk.push_back(L'\\');
    for (size_t i = 3; i < walk.size(); ++i) {
        if (!IsPathSeparator(walk[i]))
            continue;
        walk[i] = L'\0';
        const bool created = CreateOneFolder(walk.c_str());
        walk[i] = L'\\';
        if (!created)
            return false;
    }
    return IsExistingFolder(walk.c_str());
}

std::wstring FolderPartOf(const std::wstring& path) {
    const size_t last = path.find_last_of(L"\\/");
    if (last == std::wstring::npos)
        return std::wstring();
    return path.substr(0, last + 1);
}

} // namespace vozoru
