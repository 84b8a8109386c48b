// Extraction of one entry to a file, an open handle or memory.
#include "zip_file_entry.h"

#include "entry_name.h"
#include "folder_path.h"
#include "zip_result.h"

#include "win_handles.h"

#include <algorithm>
#include <memory>
#include <new>

namespace vozoru {
namespace {

// Extracted data goes to the output file in blocks of up to this size, so that a typical
// member takes a few write calls rather than one per 16 KB. When so much memory cannot be
// had, a small block on the stack does the same work in more calls.
constexpr uint32_t kOutputBlockSize = 64 * 1024;
constexpr uint32_t kFallbackBlockSize = 16384;

// What SetFileAttributesW hands to the file system for a requested set of attributes: only
// the attributes a caller may set, and "normal" added so that an empty set clears them all
// instead of leaving them unchanged.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

DWORD AttributesToSet(uint32_t requested) {
    return (requested & kSettableAttributes) | FILE_ATTRIBUTE_NORMAL;
}

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

int ZIP_FileEntry::ExtractToFileUnguarded(const wchar_t* path, bool doNotOverwrite,
                                          std::wstring* readyFolder) {
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
    return ExtractFileData(output, doNotOverwrite, readyFolder);
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

int ZIP_FileEntry::ExtractFileData(const std::wstring& path, bool doNotOverwrite,
                                   std::wstring* readyFolder) {
    // A folder that cannot be made shows up as the file's own creation failure below, which
    // is the code the caller gets. A caller extracting many entries passes the folder its
    // previous file went into: members of one folder usually follow each other, so each
    // folder is made (or found in place) once for a run of them rather than once per file.
    const std::wstring folder = FolderPartOf(path);
    if (!folder.empty() && !(readyFolder && *readyFolder == folder)) {
        const bool made = MakeFolderPath(folder.c_str());
        if (readyFolder) {
            if (made)
                *readyFolder = folder;
            else
                readyFolder->clear();
        }
    }

    zor::FileHandle output(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                       doNotOverwrite ? CREATE_NEW : CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!output)
        return ZIP_ERROR_CREATE;
    const int result = ExtractToHandle(output.get());
    // Times and attributes normally go on together through the open handle, which spares
    // opening the file again by name. Should the file system refuse that, they go on one by
    // one as below. Failing to set them leaves a usable file, so it does not change the result.
    if (ApplyEntryTimesAndAttributes(output.get()))
        return result;
    ApplyEntryTimes(output.get());
    output.reset();
    // Attributes go on last: a read-only file could not have taken its times.
    SetFileAttributesW(path.c_str(), externalAttributes_);
    return result;
}

bool ZIP_FileEntry::EntryFileTime(FILETIME* universal) const {
    // The entry's DOS time is local time; an invalid DOS date gives no time at all.
    FILETIME local;
    return DosDateTimeToFileTime(static_cast<WORD>(dosDate_), static_cast<WORD>(dosTime_),
                                 &local) &&
           LocalFileTimeToFileTime(&local, universal);
}

void ZIP_FileEntry::ApplyEntryTimes(HANDLE output) const {
    // An invalid DOS date leaves the file's own times; the last-access time is never touched.
    FILETIME universal;
    if (EntryFileTime(&universal))
        SetFileTime(output, &universal, nullptr, &universal);
}

bool ZIP_FileEntry::ApplyEntryTimesAndAttributes(HANDLE output) const {
    // Zero times are left as they are: the last-access and change times always, creation and
    // last-write times when the DOS date is invalid. The handle was opened for writing, so it
    // may set attributes, read-only among them, without losing the times set in the same call.
    FILE_BASIC_INFO info = {};
    FILETIME universal;
    if (EntryFileTime(&universal)) {
        info.CreationTime.LowPart = universal.dwLowDateTime;
        info.CreationTime.HighPart = static_cast<LONG>(universal.dwHighDateTime);
        info.LastWriteTime = info.CreationTime;
    }
    info.FileAttributes = AttributesToSet(externalAttributes_);
    return SetFileInformationByHandle(output, FileBasicInfo, &info, sizeof(info)) != FALSE;
}

int ZIP_FileEntry::ExtractToHandle(HANDLE output) {
    EntryReadState state;
    const int opened = OpenEntryRead(&state);
    if (opened != ZIP_OK)
        return opened;

    // A block no larger than the entry itself (at least one byte, so that reading an empty
    // entry is still asked for and reports its own result).
    const uint32_t wanted = std::max<uint32_t>(1, std::min(kOutputBlockSize, uncompressedSize_));
    std::unique_ptr<unsigned char[]> large(new (std::nothrow) unsigned char[wanted]);
    unsigned char fallback[kFallbackBlockSize];
    unsigned char* block = large ? large.get() : fallback;
    const uint32_t blockSize = large ? wanted : kFallbackBlockSize;

    int failure = ZIP_OK;
    for (;;) {
        uint32_t produced = 0;
        const int read = ReadEntryData(&state, block, blockSize, &produced);
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
