// Extraction of one entry to a file, an open handle or memory.
#include "zip_file_entry.h"

#include "entry_name.h"
#include "folder_path.h"
#include "zip_result.h"

#include "win_handles.h"

#include <new>

namespace vozoru {
namespace {

constexpr DWORD kOutputBlockSize = 16384;

bool EndsWith(const std::string& text, char c) {
    return !text.empty() && text.back() == c;
}

// The entry's own name as a path below the current folder, refused when the name would
// land anywhere else. unusablePathResult is the caller's code for a path that cannot be
// formed (no current folder, or too long).
int ResolveOwnName(const std::string& name, std::wstring* path, int unusablePathResult) {
    std::wstring wide;
    if (!AnsiNameToWide(name, &wide) || !IsContainedEntryName(wide))
        return ZIP_BAD_ARCHIVE;
    std::wstring folder;
    if (!GetCurrentFolder(&folder))
        return unusablePathResult;
    if (!JoinOutputPath(folder, wide, path))
        return unusablePathResult;
    return ZIP_OK;
}

} // namespace

bool ZIP_FileEntry::IsDirectory() const {
    if (EndsWith(name_, '/'))
        return true;
    return compressedSize_ == 0 && uncompressedSize_ == 0 && EndsWith(name_, '\\');
}

int ZIP_FileEntry::ExtractToFileUnguarded(const wchar_t* path, bool doNotOverwrite) {
    if (IsDirectory())
        return ExtractDirectory(path);
    std::wstring output;
    if (path) {
        output = path;
        if (output.size() > kMaxOutputPathChars)
            return ZIP_ERROR_CREATE;
    } else {
        const int resolved = ResolveOwnName(name_, &output, ZIP_ERROR_CREATE);
        if (resolved != ZIP_OK)
            return resolved;
    }
    return ExtractFileData(output, doNotOverwrite);
}

int ZIP_FileEntry::ExtractToFile(const wchar_t* path, bool doNotOverwrite) {
    // Paths are built in growable strings; running out of memory is reported, not thrown.
    try {
        return ExtractToFileUnguarded(path, doNotOverwrite);
    } catch (const std::bad_alloc&) {
        return ZIP_ERROR_MEMORY;
    }
}

int ZIP_FileEntry::ExtractDirectory(const wchar_t* path) {
    // A directory has nothing to write to a chosen file.
    if (path)
        return ZIP_BAD_ARGUMENT;
    std::wstring folder;
    const int resolved = ResolveOwnName(name_, &folder, ZIP_BAD_ARGUMENT);
    if (resolved != ZIP_OK)
        return resolved;
    return MakeFolderPath(folder.c_str()) ? ZIP_OK : ZIP_BAD_ARGUMENT;
}

int ZIP_FileEntry::ExtractFileData(const std::wstring& path, bool doNotOverwrite) {
    // A folder that cannot be made shows up as the file's own creation failure below, which
    // is the code the caller gets.
    const std::wstring folder = FolderPartOf(path);
    if (!folder.empty())
        MakeFolderPath(folder.c_str());

    zor::FileHandle output(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                       doNotOverwrite ? CREATE_NEW : CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!output)
        return ZIP_ERROR_CREATE;
    const int result = ExtractToHandle(output.get());
    ApplyEntryTimes(output.get());
    output.reset();
    // Attributes go on last: a read-only file could not have taken its times. Failing to
    // set them leaves a usable file, so it does not change the result.
    SetFileAttributesW(path.c_str(), externalAttributes_);
    return result;
}

void ZIP_FileEntry::ApplyEntryTimes(HANDLE output) const {
    // The entry's DOS time is local time. An invalid DOS date leaves the file's own times;
    // the last-access time is never touched.
    FILETIME local;
    FILETIME universal;
    if (DosDateTimeToFileTime(static_cast<WORD>(dosDate_), static_cast<WORD>(dosTime_), &local) &&
        LocalFileTimeToFileTime(&local, &universal)) {
        SetFileTime(output, &universal, nullptr, &universal);
    }
}

int ZIP_FileEntry::ExtractToHandle(HANDLE output) {
    EntryReadState state;
    const int opened = OpenEntryRead(&state);
    if (opened != ZIP_OK)
        return opened;

    unsigned char block[kOutputBlockSize];
    int failure = ZIP_OK;
    for (;;) {
        uint32_t produced = 0;
        const int read = ReadEntryData(&state, block, kOutputBlockSize, &produced);
        if (read != ZIP_OK) {
            failure = read;
            break;
        }
        if (produced == 0)
            break;
        DWORD written = 0;
        if (!WriteFile(output, block, produced, &written, nullptr) || written != produced) {
            // A short output file must not pass for a complete one.
            failure = ZIP_ERROR_CREATE;
            break;
        }
    }
    const int closed = CloseEntryRead(&state);
    return failure != ZIP_OK ? failure : closed;
}

int ZIP_FileEntry::ExtractToMemory(void* buffer, uint32_t length) {
    EntryReadState state;
    const int opened = OpenEntryRead(&state);
    if (opened != ZIP_OK)
        return opened;
    const int read = ReadEntryData(&state, buffer, length);
    const int closed = CloseEntryRead(&state);
    return read != ZIP_OK ? read : closed;
}

} // namespace vozoru
