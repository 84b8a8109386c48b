// CCmpLog: the plain-text log shared by the launcher and the installer plug-in.
//
// A log object is handed between modules by pointer (the setup utility gives its own log to
// the plug-in), and the receiving module calls the virtual slots and runs its own copies of the
// non-virtual operations on the fields. The slot order, the field order and widths and the
// record array representation are therefore a binary contract; cmp_log_layout.h pins them.
// This header stays free of <windows.h> and library types so that every compiler and ABI that
// shares log objects sees exactly the same class.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

// Widens __FILE__ so callers can pass their source file to CCmpLog::Write.
#define ZOR_LOG_WIDEN_(text) L##text
#define ZOR_LOG_WIDEN(text) ZOR_LOG_WIDEN_(text)
#define ZOR_LOG_SOURCE ZOR_LOG_WIDEN(__FILE__)

// Message types of CCmpLog::Write: which file receives the message and with which prefix.
enum CmpLogType : int {
    kLogNormalOnly = 0,      // normal log, severity prefix
    kLogVerboseOnly = 1,     // verbose log, location prefix
    kLogVerboseContinue = 2, // verbose log, severity prefix only (continues a line)
    kLogBoth = 3,            // normal log with severity prefix, verbose log with location prefix
    kLogBothPlain = 4,       // both logs, severity prefix only
};

enum CmpLogSeverity : int {
    kLogInfo = 0,
    kLogWarning = 1,
    kLogError = 2,
    kLogCritical = 3,
};

// One log file: where it lives and, once opened, its operating-system handle.
struct LogFileRecord {
    static constexpr std::size_t kFolderSize = 260;
    static constexpr std::size_t kNameSize = 256;

    wchar_t folder[kFolderSize]; // expanded folder, ending with a backslash
    wchar_t name[kNameSize];     // file name within the folder
    std::int32_t isOpen;         // 1 once Open opened the file
    void* handle;                // file handle; INVALID_HANDLE_VALUE while not open
};

class CCmpLog {
public:
    // Result codes of Open, Close and the construction status.
    static constexpr int kOk = 0;
    static constexpr int kCloseFailed = 102;
    static constexpr int kOpenFailed = 103;
    static constexpr int kFolderTooLong = 104;

    // Record indices within the file array.
    static constexpr int kNormalFile = 0;
    static constexpr int kVerboseFile = 1;

    // Frees a heap-allocated log through its own module's slot 0; for std::unique_ptr.
    struct Deleter {
        void operator()(CCmpLog* log) const {
            if (log)
                log->Destroy(1);
        }
    };

    // An empty or null verbose name gets a temporary-style name; an empty or null folder
    // means the default log folder. Environment variables in the folder are expanded.
    CCmpLog(const wchar_t* verboseName, const wchar_t* verboseFolder);
    // Not virtual on purpose: slot 0 is Destroy, which other modules call to delete the object.
    ~CCmpLog();
    CCmpLog(const CCmpLog&) = delete;
    CCmpLog& operator=(const CCmpLog&) = delete;

    // Slot 0: destroys the object and, when bit 0 of flags is set, frees its memory.
    // Returns the object's address, as a deleting destructor does.
    virtual void* Destroy(unsigned int flags);
    // Slot 1: opens the verbose file (when verbose) and the normal file; 0 or kOpenFailed.
    virtual int Open();
    // Slot 2: closes the open files; 0 or kCloseFailed.
    virtual int Close();
    // Slot 3: writes the session headers.
    virtual void BeginSession();
    // Slot 4: writes one message; format is printf-style, "%s" takes a wide string.
    virtual void Write(int type, int severity, const wchar_t* sourceFile, int line,
                       const wchar_t* format, ...);
    // Slot 5: writes the session footers with the run's return code.
    virtual void EndSession(int returnCode);
    // Slot 6: sets the verbose flag; returns it.
    virtual int SetVerbose(int flag);

    // Non-virtual operations work on the fields only, so any module may run its own copy.
    int IsVerbose() const { return m_verbose; }
    const wchar_t* GetVerboseLogName() const;
    const wchar_t* GetVerboseLogFolder() const;
    // Moves the verbose log to newFolder + newName: a rename when the target is free, a merge
    // of the current content into the target when it exists.
    void MoveVerboseLog(const wchar_t* newName, const wchar_t* newFolder);
    // Write with an argument list, for callers that forward their own variadic arguments.
    void WriteV(int type, int severity, const wchar_t* sourceFile, int line, const wchar_t* format,
                std::va_list args);

    int GetStatus() const { return m_status; }
    // The text is not copied: it must outlive the log (the launcher passes a literal).
    void SetStubVersion(const wchar_t* text) { m_stubVersion = text; }
    const wchar_t* GetStubVersion() const { return m_stubVersion; }
    int GetFileCount() const { return m_fileCount; }
    const LogFileRecord* GetFileRecord(int index) const;

private:
    friend struct CmpLogLayout;

    LogFileRecord* Record(int index);
    bool AppendRecord(const LogFileRecord& record);
    bool OpenRecord(LogFileRecord& record);

    const wchar_t* m_stubVersion; // not owned
    std::int32_t m_status;
    LogFileRecord* m_files; // process-heap array: [0] normal log, [1] verbose log
    std::int32_t m_fileCount;
    std::int32_t m_fileCapacity;
    std::int32_t m_verbose;
};
