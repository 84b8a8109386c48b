// Extraction of the whole archive into one folder.
#include "entry_name.h"
#include "folder_path.h"
#include "zip_file.h"
#include "zip_result.h"

#include <new>

namespace vozoru {
namespace {

// The destination without trailing separators, so that joining adds exactly one. A bare
// drive root keeps its own separator out and gets it back from the join.
std::wstring TrimDestination(const wchar_t* destination) {
    std::wstring folder(destination);
    while (folder.size() > 2 && IsPathSeparator(folder.back()))
        folder.pop_back();
    return folder;
}

int OutputPathOf(const std::wstring& destination, const ZIP_FileEntry& entry, std::wstring* path) {
    std::wstring name;
    if (!AnsiNameToWide(std::string(entry.GetName(), entry.GetNameLength()), &name) ||
        !IsContainedEntryName(name)) {
        return ZIP_BAD_ARCHIVE;
    }
    return JoinOutputPath(destination, name, path) ? ZIP_OK : ZIP_ERROR_CREATE;
}

} // namespace

int ZIP_File::CheckOutputPaths(const std::wstring& destination) const {
    // A name that escapes the destination condemns the whole archive, so it outranks a path
    // that is merely too long.
    int result = ZIP_OK;
    std::wstring path;
    for (const EntryNode* node = head_.next.get(); node; node = node->next.get()) {
        const int checked = OutputPathOf(destination, *node->entry, &path);
        if (checked == ZIP_BAD_ARCHIVE)
            return checked;
        if (checked != ZIP_OK)
            result = checked;
    }
    return result;
}

int ZIP_File::ExtractAllUnguarded(const wchar_t* destination, ExtractProgressCallback callback,
                                  void* userValue) {
    // Without a destination the entries go below the current folder, and every output path
    // is a full path either way.
    std::wstring folder;
    if (destination) {
        if (!IsDriveRootedPath(destination))
            return ZIP_ERROR_READ;
        folder = TrimDestination(destination);
    } else if (!GetCurrentFolder(&folder)) {
        return ZIP_ERROR_READ;
    }
    // Nothing is written until every entry is known to stay inside the destination.
    int result = CheckOutputPaths(folder);
    if (result != ZIP_OK)
        return result;
    if (destination && !MakeFolderPath(destination))
        return ZIP_ERROR_READ;

    ExtractProgress progress{0, static_cast<int64_t>(entryCount_), nullptr};
    std::wstring path;
    std::wstring readyFolder;
    for (const EntryNode* node = head_.next.get(); node; node = node->next.get()) {
        ZIP_FileEntry& entry = *node->entry;
        ++progress.index;
        result = OutputPathOf(folder, entry, &path);
        if (result != ZIP_OK)
            return result;
        progress.path = path.c_str();
        if (callback && !callback(userValue, &progress))
            return result;

        if (IsPathSeparator(path.back())) {
            path.pop_back();
            if (!MakeFolderPath(path.c_str()))
                return ZIP_ERROR_READ;
        } else {
            // As ExtractToFile (whose memory guard this function's own covers), and keeping
            // the folder just made for the entries that follow.
            result = entry.ExtractToFileUnguarded(path.c_str(), false, &readyFolder);
            if (result != ZIP_OK)
                return result;
        }
    }
    return result;
}

int ZIP_File::ExtractAll(const wchar_t* destination, ExtractProgressCallback callback,
                         void* userValue) {
    // Paths are built in growable strings; running out of memory is reported, not thrown
    // at the launcher.
    try {
        return ExtractAllUnguarded(destination, callback, userValue);
    } catch (const std::bad_alloc&) {
        return ZIP_ERROR_MEMORY;
    }
}

} // namespace vozoru
