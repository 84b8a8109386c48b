// Writing messages and session blocks. Every prefix and every message is its own piece, and
// each piece goes to the end of the file at once, so the files are complete up to the last
// call even when the process ends abruptly.
#include "cmp_log.h"

#include "log_file_io.h"
#include "module_info.h"
#include "time_format.h"

#include <windows.h>

namespace {

constexpr std::size_t kTimeTextSize = 255;

// Prefix of the normal log, and of the verbose log for continuations and plain entries.
const wchar_t* SeverityPrefix(int severity) {
    switch (severity) {
    case kLogWarning:
        return L"**WARNING** - ";
    case kLogError:
        return L"**ERROR** - ";
    case kLogCritical:
        return L"**CRITICAL** - ";
    default:
        return L"";
    }
}

bool IsKnownSeverity(int severity) {
    return severity >= kLogInfo && severity <= kLogCritical;
}

// The source path's file name with extension; folders are not shown in the log.
const wchar_t* SourceFileName(const wchar_t* path) {
    if (!path)
        return L"";
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    }
    return name;
}

bool IsWritable(const LogFileRecord* record) {
    return record && record->isOpen && record->handle != INVALID_HANDLE_VALUE &&
           record->handle != nullptr;
}

void AppendMessage(HANDLE file, const wchar_t* format, std::va_list args) {
    std::va_list copy;
    va_copy(copy, args);
    zor::AppendFormattedPiece(file, format, copy);
    va_end(copy);
}

const wchar_t kRule[] =
    L"===========================================================================\r\n";

} // namespace

void CCmpLog::Write(int type, int severity, const wchar_t* sourceFile, int line,
                    const wchar_t* format, ...) {
    std::va_list args;
    va_start(args, format);
    WriteV(type, severity, sourceFile, line, format, args);
    va_end(args);
}

void CCmpLog::WriteV(int type, int severity, const wchar_t* sourceFile, int line,
                     const wchar_t* format, std::va_list args) {
    if (!format)
        return;
    wchar_t timeText[kTimeTextSize + 1] = {};
    FormatLocalTime(timeText, kTimeTextSize);

    const bool toNormal = type == kLogNormalOnly || type == kLogBoth || type == kLogBothPlain;
    const LogFileRecord* normal = GetFileRecord(kNormalFile);
    if (toNormal && IsWritable(normal)) {
        zor::AppendFormattedPieceF(normal->handle, L"%s", SeverityPrefix(severity));
        AppendMessage(normal->handle, format, args);
    }

    const bool toVerbose = type >= kLogVerboseOnly && type <= kLogBothPlain;
    const LogFileRecord* verbose = GetFileRecord(kVerboseFile);
    if (toVerbose && m_verbose && IsWritable(verbose)) {
        const bool withLocation = type == kLogVerboseOnly || type == kLogBoth;
        if (withLocation && IsKnownSeverity(severity)) {
            zor::AppendFormattedPieceF(verbose->handle, L"[%s]::%s[%d] %s", timeText,
                                       SourceFileName(sourceFile), line, SeverityPrefix(severity));
        } else {
            zor::AppendFormattedPieceF(verbose->handle, L"%s", SeverityPrefix(severity));
        }
        AppendMessage(verbose->handle, format, args);
    }
}

void CCmpLog::BeginSession() {
    wchar_t dateTime[kTimeTextSize + 1] = {};
    FormatLocalDateTime(dateTime, kTimeTextSize);
    wchar_t executable[MAX_PATH] = {};
    GetModuleFileNameOnly(executable, MAX_PATH);
    wchar_t version[32] = {};
    GetModuleVersionText(version, 32);
    const wchar_t* stubVersion = m_stubVersion ? m_stubVersion : L"";

    const LogFileRecord* verbose = GetFileRecord(kVerboseFile);
    if (m_verbose && IsWritable(verbose)) {
        zor::AppendFormattedPieceF(verbose->handle,
                                   L"%sSource:          %s\r\n"
                                   L"Version:         %s\r\n"
                                   L"Stub Version:    %s\r\n"
                                   L"Log Date:        %s\r\n\r\n"
                                   L"Verbose Log Session Start ...\r\n\r\n",
                                   kRule, executable, version, stubVersion, dateTime);
    }
    const LogFileRecord* normal = GetFileRecord(kNormalFile);
    if (IsWritable(normal)) {
        zor::AppendFormattedPieceF(normal->handle,
                                   L"%sSource:          %s\r\n"
                                   L"Version:         %s\r\n"
                                   L"Log Date:        %s\r\n\r\n"
                                   L"Log Session Start...\r\n\r\n",
                                   kRule, executable, version, dateTime);
    }
}

void CCmpLog::EndSession(int returnCode) {
    wchar_t timeText[kTimeTextSize + 1] = {};
    FormatLocalTime(timeText, kTimeTextSize);
    const wchar_t format[] = L"\r\n\r\nLog Session End. [%s]\r\nReturn Code (%d)\r\n%s\r\n";
    const LogFileRecord* verbose = GetFileRecord(kVerboseFile);
    if (m_verbose && IsWritable(verbose)) {
        zor::AppendFormattedPieceF(verbose->handle, format, timeText, returnCode, kRule);
    }
    const LogFileRecord* normal = GetFileRecord(kNormalFile);
    if (IsWritable(normal)) {
        zor::AppendFormattedPieceF(normal->handle, format, timeText, returnCode, kRule);
    }
}
