#include "file_helpers.h"

#include <windows.h>

#include <new>
#include <string>

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Length of the part of the path that names a volume and is never created: "C:",
// "\\server\share", "\\?\C:" or "\\?\UNC\server\share".
std::size_t RootLength(const std::wstring& path) {
    std::size_t start = 0;
    if (path.compare(0, 4, L"\\\\?\\") == 0) {
        start = 4;
        if (path.compare(start, 4, L"UNC\\") == 0) {
            start += 4;
        } else {
            return (path.size() >= start + 2 && path[start + 1] == L':') ? start + 2 : start;
        }
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        start = 2;
    } else {
        return (path.size() >= 2 && path[1] == L':') ? 2 : 0;
    }
    // UNC form: the server and share names belong to the root.
    std::size_t pos = start;
    for (int part = 0; part < 2; ++part) {
        while (pos < path.size() && !IsSeparator(path[pos]))
            ++pos;
        if (part == 0 && pos < path.size())
            ++pos;
    }
    return pos;
}

void CreateEachLevel(const std::wstring& source) {
    const std::size_t root = RootLength(source);
    std::wstring path = source.substr(0, root);
    std::size_t pos = root;
    // A separator right after the root makes the path absolute; without one the pieces are
    // relative to the current folder (or the drive's current folder) and must stay so.
    bool needSeparator = pos < source.size() && IsSeparator(source[pos]);
    while (pos < source.size()) {
        while (pos < source.size() && IsSeparator(source[pos]))
            ++pos;
        const std::size_t end = source.find_first_of(L"\\/", pos);
        const std::size_t pieceEnd = (end == std::wstring::npos) ? source.size() : end;
        if (pieceEnd > pos) {
            if (needSeparator)
                path += L'\\';
            path.append(source, pos, pieceEnd - pos);
            ::CreateDirectoryW(path.c_str(), nullptr);
            needSeparator = true;
        }
        pos = pieceEnd;
    }
}

} // namespace

void CreateFolderPath(const wchar_t* folder) {
    if (!folder || !*folder)
        return;
    try {
        CreateEachLevel(folder);
    } catch (const std::bad_alloc&) {
        // Nothing created; the caller's open of a file inside the folder reports the failure.
    }
}

int FileExists(const wchar_t* path) {
    if (!path || !*path)
        return 0;
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}
