#include "folder_tree.h"

#include <windows.h>

#include <objbase.h>

#include <cwchar>

#include "win_handles.h"

namespace zor {
namespace {

// Length of `text` when it fits a path buffer with its terminator; kFolderPathCapacity when
// it does not (or is missing).
std::size_t BoundedLength(const wchar_t* text) {
    return text ? ::wcsnlen(text, kFolderPathCapacity) : kFolderPathCapacity;
}

// dest = folder + one backslash + name. False when it does not fit.
bool JoinPath(wchar_t (&dest)[kFolderPathCapacity], const wchar_t* folder, const wchar_t* name) {
    const std::size_t folderLength = BoundedLength(folder);
    const std::size_t nameLength = BoundedLength(name);
    if (folderLength >= kFolderPathCapacity || nameLength >= kFolderPathCapacity)
        return false;
    const bool needsSeparator = folderLength > 0 && folder[folderLength - 1] != L'\\';
    const std::size_t total = folderLength + (needsSeparator ? 1 : 0) + nameLength;
    if (total >= kFolderPathCapacity)
        return false;
    std::wmemcpy(dest, folder, folderLength);
    std::size_t position = folderLength;
    if (needsSeparator)
        dest[position++] = L'\\';
    std::wmemcpy(dest + position, name, nameLength);
    dest[total] = L'\0';
    return true;
}

bool IsFolder(const wchar_t* path) {
    const DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// What cannot be removed now (open by another process, or refused) goes at the next restart.
void ScheduleRemoval(const wchar_t* path) {
    ::MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// Removes a junction or symbolic link itself. RemoveDirectory and DeleteFile act on the link,
// not on its target. Attributes are left alone: setting them on a link path would change the
// target's attributes.
void RemoveLink(const wchar_t* path, DWORD attributes) {
    const BOOL removed =
        (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(path) : ::DeleteFileW(path);
    if (!removed)
        ScheduleRemoval(path);
}

void ClearProtectiveAttributes(const wchar_t* path, DWORD attributes) {
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM))
        ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
}

bool CreateTreeLevel(const wchar_t* path, bool& existed) {
    existed = false;
    if (::CreateDirectoryW(path, nullptr))
        return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        existed = true;
        return IsFolder(path);
    }
    if (error != ERROR_PATH_NOT_FOUND)
        return false;

    // The parent is missing: create it first (everything before the last backslash, ignoring
    // one trailing backslash), then this folder again. Each level is shorter than the one
    // before, so the walk ends.
    wchar_t parent[kFolderPathCapacity];
    std::size_t length = BoundedLength(path);
    if (length >= kFolderPathCapacity)
        return false;
    std::wmemcpy(parent, path, length + 1);
    if (length > 0 && parent[length - 1] == L'\\')
        parent[--length] = L'\0';
    const wchar_t* lastSeparator = std::wcsrchr(parent, L'\\');
    if (lastSeparator) {
        parent[lastSeparator - parent] = L'\0';
        bool parentExisted = false;
        if (!CreateTreeLevel(parent, parentExisted))
            return false;
    }
    if (::CreateDirectoryW(path, nullptr))
        return true;
    return ::GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(path);
}

} // namespace

bool CreateExtractionFolder(wchar_t* output, std::size_t capacity) {
    if (!output || capacity == 0)
        return false;
    output[0] = L'\0';
    if (capacity > kFolderPathCapacity)
        capacity = kFolderPathCapacity;

    wchar_t temporary[kFolderPathCapacity];
    const DWORD temporaryLength = ::GetTempPathW(kFolderPathCapacity, temporary);
    if (temporaryLength == 0 || temporaryLength >= kFolderPathCapacity)
        return false;

    GUID guid;
    if (FAILED(::CoCreateGuid(&guid)))
        return false;
    wchar_t guidText[64];
    if (::StringFromGUID2(guid, guidText, 64) == 0)
        return false;

    wchar_t folder[kFolderPathCapacity];
    if (!JoinPath(folder, temporary, guidText))
        return false;
    const std::size_t length = BoundedLength(folder);
    if (length >= capacity)
        return false;
    if (!::CreateDirectoryW(folder, nullptr))
        return false;
    std::wmemcpy(output, folder, length + 1);
    return true;
}

bool CreateDirectoryTree(const wchar_t* path, bool& existed) {
    existed = false;
    const std::size_t length = BoundedLength(path);
    if (length == 0 || length >= kFolderPathCapacity)
        return false;
    return CreateTreeLevel(path, existed);
}

bool DeleteFolderTree(const wchar_t* folder) {
    const std::size_t length = BoundedLength(folder);
    if (length == 0 || length >= kFolderPathCapacity)
        return false;

    // A folder that is itself a link: remove the link, keep what it points to.
    const DWORD folderAttributes = ::GetFileAttributesW(folder);
    if (folderAttributes != INVALID_FILE_ATTRIBUTES && IsLink(folderAttributes)) {
        RemoveLink(folder, folderAttributes);
        return true;
    }

    wchar_t pattern[kFolderPathCapacity];
    if (!JoinPath(pattern, folder, L"*"))
        return false;
    WIN32_FIND_DATAW entry;
    FindHandle listing(::FindFirstFileW(pattern, &entry));
    if (!listing)
        return false;

    do {
        const wchar_t* name = entry.cFileName;
        if (std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0)
            continue;
        wchar_t child[kFolderPathCapacity];
        if (!JoinPath(child, folder, name))
            return false;

        const DWORD attributes = entry.dwFileAttributes;
        if (IsLink(attributes)) {
            RemoveLink(child, attributes);
            continue;
        }
        ClearProtectiveAttributes(child, attributes);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!DeleteFolderTree(child))
                return false;
        } else if (!::DeleteFileW(child)) {
            ScheduleRemoval(child);
        }
    } while (::FindNextFileW(listing.get(), &entry));
    listing.reset();

    ::SetFileAttributesW(folder, FILE_ATTRIBUTE_NORMAL);
    if (!::RemoveDirectoryW(folder))
        ScheduleRemoval(folder);
    return true;
}

bool RemoveExtractionFolder(const wchar_t* folder, bool createdByThisRun) {
    if (!createdByThisRun)
        return true;
    return DeleteFolderTree(folder);
}

} // namespace zor
