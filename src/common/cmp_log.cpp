// Lifetime, record array and open/close of CCmpLog. Writing is in cmp_log_write.cpp, moving the
// verbose log in cmp_log_move.cpp.
#include "cmp_log.h"

#include "bounded_text.h"
#include "cmp_log_layout.h"
#include "file_helpers.h"
#include "log_file_io.h"
#include "temporary_name.h"

#include <windows.h>

#include <cwchar>
#include <new>

namespace {

const wchar_t kDefaultFolder[] = L"%systemdrive%\\ridezezer\\log\\";
const wchar_t kNormalLogName[] = L"vazuvuda.log";
const wchar_t kVerbosePrefix[] = L"_VX";
const wchar_t kEmptyText[] = L"";

// Expands the folder into record.folder and makes it end with a backslash. False when the
// expanded folder needs more than the record's 260 characters.
bool ExpandFolder(const wchar_t* folder, LogFileRecord& record) {
    const DWORD needed = ::ExpandEnvironmentStringsW(folder, nullptr, 0);
    if (needed == 0 || needed > LogFileRecord::kFolderSize)
        return false;
    const DWORD written =
        ::ExpandEnvironmentStringsW(folder, record.folder, LogFileRecord::kFolderSize);
    if (written == 0 || written > LogFileRecord::kFolderSize)
        return false;
    const std::size_t length = std::wcslen(record.folder);
    if (length > 0 && record.folder[length - 1] != L'\\' && record.folder[length - 1] != L'/' &&
        length + 1 < LogFileRecord::kFolderSize) {
        record.folder[length] = L'\\';
        record.folder[length + 1] = L'\0';
    }
    return true;
}

void ResetRecord(LogFileRecord& record) {
    record.folder[0] = L'\0';
    record.name[0] = L'\0';
    record.isOpen = 0;
    record.handle = INVALID_HANDLE_VALUE;
}

bool CloseRecordHandle(LogFileRecord& record) {
    if (record.handle == INVALID_HANDLE_VALUE || record.handle == nullptr)
        return true;
    const bool closed = ::CloseHandle(record.handle) != FALSE;
    record.handle = INVALID_HANDLE_VALUE;
    return closed;
}

} // namespace

CCmpLog::CCmpLog(const wchar_t* verboseName, const wchar_t* verboseFolder)
    : m_stubVersion(kEmptyText), m_status(kOk), m_files(nullptr), m_fileCount(0), m_fileCapacity(0),
      m_verbose(0) {
    LogFileRecord record;
    ResetRecord(record);
    if (!ExpandFolder(kDefaultFolder, record)) {
        m_status = kFolderTooLong;
        return;
    }
    zor::CopyText(record.name, LogFileRecord::kNameSize, kNormalLogName);
    if (!AppendRecord(record))
        return;

    ResetRecord(record);
    const wchar_t* folder = (verboseFolder && *verboseFolder) ? verboseFolder : kDefaultFolder;
    if (!ExpandFolder(folder, record)) {
        m_status = kFolderTooLong;
        return;
    }
    // A name that does not fit the record falls back to a generated one rather than a cut name.
    if (!verboseName || !*verboseName ||
        !zor::CopyText(record.name, LogFileRecord::kNameSize, verboseName)) {
        MakeTemporaryName(kVerbosePrefix, record.name, LogFileRecord::kNameSize);
    }
    AppendRecord(record);
}

CCmpLog::~CCmpLog() {
    // Close normally closed the files already; a log destroyed without it must not leak them.
    for (int i = 0; i < m_fileCount; ++i)
        CloseRecordHandle(m_files[i]);
    if (m_files)
        ::HeapFree(::GetProcessHeap(), 0, m_files);
    m_files = nullptr;
    m_fileCount = 0;
    m_fileCapacity = 0;
}

void* CCmpLog::Destroy(unsigned int flags) {
    this->~CCmpLog();
    if (flags & 1u)
        ::operator delete(this);
    return this;
}

LogFileRecord* CCmpLog::Record(int index) {
    if (index < 0 || index >= m_fileCount || !m_files)
        return nullptr;
    return &m_files[index];
}

const LogFileRecord* CCmpLog::GetFileRecord(int index) const {
    if (index < 0 || index >= m_fileCount || !m_files)
        return nullptr;
    return &m_files[index];
}

// The array lives on the process heap, which every module of the process shares.
bool CCmpLog::AppendRecord(const LogFileRecord& record) {
    if (m_fileCount == m_fileCapacity) {
        const std::int32_t capacity = m_fileCapacity == 0 ? 2 : m_fileCapacity * 2;
        const SIZE_T bytes = static_cast<SIZE_T>(capacity) * sizeof(LogFileRecord);
        void* grown = m_files ? ::HeapReAlloc(::GetProcessHeap(), 0, m_files, bytes)
                              : ::HeapAlloc(::GetProcessHeap(), 0, bytes);
        if (!grown)
            return false;
        m_files = static_cast<LogFileRecord*>(grown);
        m_fileCapacity = capacity;
    }
    m_files[m_fileCount++] = record;
    return true;
}

bool CCmpLog::OpenRecord(LogFileRecord& record) {
    CreateFolderPath(record.folder);
    wchar_t path[MAX_PATH] = {};
    // A path that does not fit is not opened: a cut path would name a different file.
    if (!zor::FormatText(path, MAX_PATH, L"%s%s", record.folder, record.name)) {
        CloseRecordHandle(record);
        return false;
    }
    zor::FileHandle file = zor::OpenSharedLogFile(path);
    if (!file) {
        CloseRecordHandle(record);
        return false;
    }
    CloseRecordHandle(record); // a second Open must not leak the first handle
    record.handle = file.release();
    record.isOpen = 1;
    return true;
}

int CCmpLog::Open() {
    if (m_verbose) {
        LogFileRecord* verbose = Record(kVerboseFile);
        // The verbose file is tried first; when it fails the normal file stays closed too.
        if (verbose && !OpenRecord(*verbose))
            return kOpenFailed;
        LogFileRecord* normal = Record(kNormalFile);
        if (!normal || !OpenRecord(*normal) || !verbose)
            return kOpenFailed;
        return kOk;
    }
    LogFileRecord* normal = Record(kNormalFile);
    if (!normal || !OpenRecord(*normal))
        return kOpenFailed;
    return kOk;
}

int CCmpLog::Close() {
    // Every open file is closed, also a verbose file whose flag was switched off after Open;
    // the open flags stay as they are.
    int result = kOk;
    for (int i = 0; i < m_fileCount; ++i) {
        if (!CloseRecordHandle(m_files[i]))
            result = kCloseFailed;
    }
    return result;
}

int CCmpLog::SetVerbose(int flag) {
    m_verbose = flag;
    return flag;
}

const wchar_t* CCmpLog::GetVerboseLogName() const {
    const LogFileRecord* verbose = GetFileRecord(kVerboseFile);
    return verbose ? verbose->name : kEmptyText;
}

const wchar_t* CCmpLog::GetVerboseLogFolder() const {
    const LogFileRecord* verbose = GetFileRecord(kVerboseFile);
    return verbose ? verbose->folder : kEmptyText;
}
