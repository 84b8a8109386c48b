// Moving the verbose log to another name and folder, used when the plug-in joins the setup
// utility's verbose log and when that log is renamed after the package.
#include "cmp_log.h"

#include "bounded_text.h"
#include "file_helpers.h"
#include "log_file_io.h"

#include <windows.h>

#include <cwchar>

namespace {

bool EndsWithSeparator(const wchar_t* text) {
    const std::size_t length = std::wcslen(text);
    return length > 0 && (text[length - 1] == L'\\' || text[length - 1] == L'/');
}

// folder + name as one path; a folder without a closing separator gets one. False when the
// path does not fit.
bool JoinPath(wchar_t (&path)[MAX_PATH], const wchar_t* folder, const wchar_t* name) {
    const bool needSeparator = *folder && !EndsWithSeparator(folder);
    return zor::FormatText(path, MAX_PATH, needSeparator ? L"%s\\%s" : L"%s%s", folder, name);
}

// The folder as the record keeps it: ending with a backslash.
bool NormalisedFolder(wchar_t (&out)[LogFileRecord::kFolderSize], const wchar_t* folder) {
    const bool needSeparator = *folder && !EndsWithSeparator(folder);
    return zor::FormatText(out, LogFileRecord::kFolderSize, needSeparator ? L"%s\\" : L"%s",
                           folder);
}

// Two spellings of one file (different case, "." segments) count as the same file: moving a
// log onto itself would append its content to itself.
bool IsSameFile(const wchar_t* first, const wchar_t* second) {
    wchar_t fullFirst[MAX_PATH] = {};
    wchar_t fullSecond[MAX_PATH] = {};
    const DWORD a = ::GetFullPathNameW(first, MAX_PATH, fullFirst, nullptr);
    const DWORD b = ::GetFullPathNameW(second, MAX_PATH, fullSecond, nullptr);
    if (a == 0 || a >= MAX_PATH || b == 0 || b >= MAX_PATH)
        return false;
    return ::CompareStringOrdinal(fullFirst, -1, fullSecond, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

void CCmpLog::MoveVerboseLog(const wchar_t* newName, const wchar_t* newFolder) {
    if (!newName || !*newName)
        return;
    LogFileRecord* verbose = Record(kVerboseFile);
    if (!verbose)
        return;
    if (!newFolder)
        newFolder = L"";
    if (std::wcscmp(newName, verbose->name) == 0 && std::wcscmp(newFolder, verbose->folder) == 0)
        return;

    // Everything the record will hold is checked and copied first (the arguments may point into
    // the record itself), so a move never leaves the record half-updated.
    wchar_t storedName[LogFileRecord::kNameSize] = {};
    wchar_t storedFolder[LogFileRecord::kFolderSize] = {};
    if (!zor::CopyText(storedName, LogFileRecord::kNameSize, newName) ||
        !NormalisedFolder(storedFolder, newFolder)) {
        return;
    }
    wchar_t target[MAX_PATH] = {};
    wchar_t current[MAX_PATH] = {};
    if (!JoinPath(target, newFolder, newName) || !JoinPath(current, verbose->folder, verbose->name))
        return;
    if (IsSameFile(target, current))
        return;

    const bool isOpen =
        verbose->isOpen && verbose->handle != INVALID_HANDLE_VALUE && verbose->handle != nullptr;
    if (!FileExists(target)) {
        zor::FileHandle old(verbose->handle);
        verbose->handle = INVALID_HANDLE_VALUE;
        old.reset(); // the file cannot be renamed while this handle holds it
        const bool renamed = ::MoveFileW(current, target) != FALSE;
        if (renamed) {
            zor::CopyText(verbose->name, LogFileRecord::kNameSize, storedName);
            zor::CopyText(verbose->folder, LogFileRecord::kFolderSize, storedFolder);
        }
        // Logging goes on where the record says the file is: the target after a rename, the
        // old file when the rename failed.
        if (isOpen)
            verbose->handle = zor::OpenSharedLogFile(renamed ? target : current).release();
        return;
    }
    if (!isOpen)
        return;

    // The target exists: append the current content to it and continue in the target.
    zor::FileHandle merged = zor::OpenSharedLogFile(target);
    if (!merged)
        return;
    std::unique_ptr<char[]> content;
    std::size_t size = 0;
    if (!zor::ReadWholeLogFile(verbose->handle, content, size) || size == 0)
        return;
    // The old file is removed only once its content is safely in the target.
    if (!zor::AppendToLogFile(merged.get(), content.get(), size))
        return;
    zor::FileHandle old(verbose->handle);
    verbose->handle = merged.release();
    old.reset();
    ::DeleteFileW(current);
    zor::CopyText(verbose->name, LogFileRecord::kNameSize, storedName);
    zor::CopyText(verbose->folder, LogFileRecord::kFolderSize, storedFolder);
}
