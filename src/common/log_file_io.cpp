#include "log_file_io.h"

#include <cstdio>
#include <new>
#include <utility>

namespace zor {
namespace {

// Writers take an exclusive lock on this one byte far beyond any real log content while they
// append. Moving to the end and writing are two steps; without the lock two processes can
// both find the same end and the later write overwrites the earlier piece.
constexpr DWORD kAppendLockOffsetLow = 0xFFFFFFF0u;
constexpr DWORD kAppendLockOffsetHigh = 0x7FFFFFFFu;

// Merging a verbose log reads it whole; a larger file is refused rather than risk the
// process's memory.
constexpr ULONGLONG kMaxReadSize = 256ull * 1024 * 1024;

class AppendLock {
public:
    explicit AppendLock(HANDLE file) : file_(file) {
        OVERLAPPED at = {};
        at.Offset = kAppendLockOffsetLow;
        at.OffsetHigh = kAppendLockOffsetHigh;
        locked_ = ::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at) != FALSE;
    }
    ~AppendLock() {
        if (!locked_)
            return;
        OVERLAPPED at = {};
        at.Offset = kAppendLockOffsetLow;
        at.OffsetHigh = kAppendLockOffsetHigh;
        ::UnlockFileEx(file_, 0, 1, 0, &at);
    }
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

private:
    HANDLE file_;
    bool locked_ = false;
};

bool IsUsable(HANDLE file) {
    return file != INVALID_HANDLE_VALUE && file != nullptr;
}

} // namespace

FileHandle OpenSharedLogFile(const wchar_t* path) {
    if (!path || !*path)
        return FileHandle();
    return FileHandle(::CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool AppendToLogFile(HANDLE file, const void* bytes, std::size_t size) {
    if (!IsUsable(file))
        return false;
    if (size == 0)
        return true;
    if (!bytes || size > MAXDWORD)
        return false;
    // A failed lock (a file system without locks) still writes: losing the piece is worse
    // than the small chance of a collision.
    AppendLock lock(file);
    LARGE_INTEGER zero = {};
    ::SetFilePointerEx(file, zero, nullptr, FILE_END);
    // The all-ones offset asks the system to write at the end of the file as one step.
    OVERLAPPED atEnd = {};
    atEnd.Offset = 0xFFFFFFFFu;
    atEnd.OffsetHigh = 0xFFFFFFFFu;
    DWORD written = 0;
    const DWORD count = static_cast<DWORD>(size);
    return ::WriteFile(file, bytes, count, &written, &atEnd) && written == count;
}

bool AppendFormattedPiece(HANDLE file, const wchar_t* format, std::va_list args) {
    if (!IsUsable(file) || !format)
        return false;
    std::va_list measureArgs;
    va_copy(measureArgs, args);
    const int length = _vscwprintf(format, measureArgs);
    va_end(measureArgs);
    if (length < 0)
        return false;
    if (length == 0)
        return true;

    // At least 1024 characters, as every piece has always had; longer texts get what they need.
    const std::size_t capacity = (length < 1024 ? 1024 : static_cast<std::size_t>(length)) + 1;
    std::unique_ptr<wchar_t[]> text(new (std::nothrow) wchar_t[capacity]);
    if (!text)
        return false;
    std::va_list formatArgs;
    va_copy(formatArgs, args);
    const int formatted = _vsnwprintf(text.get(), capacity, format, formatArgs);
    va_end(formatArgs);
    if (formatted != length)
        return false;
    text[length] = L'\0';

    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, text.get(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    std::unique_ptr<char[]> ansi(new (std::nothrow) char[static_cast<std::size_t>(bytes) + 1]);
    if (!ansi)
        return false;
    const int converted =
        ::WideCharToMultiByte(CP_ACP, 0, text.get(), length, ansi.get(), bytes, nullptr, nullptr);
    if (converted != bytes)
        return false;
    return AppendToLogFile(file, ansi.get(), static_cast<std::size_t>(bytes));
}

bool AppendFormattedPieceF(HANDLE file, const wchar_t* format, ...) {
    std::va_list args;
    va_start(args, format);
    const bool ok = AppendFormattedPiece(file, format, args);
    va_end(args);
    return ok;
}

bool ReadWholeLogFile(HANDLE file, std::unique_ptr<char[]>& data, std::size_t& size) {
    data.reset();
    size = 0;
    if (!IsUsable(file))
        return false;
    LARGE_INTEGER zero = {};
    LARGE_INTEGER end = {};
    if (!::SetFilePointerEx(file, zero, &end, FILE_END))
        return false;
    if (end.QuadPart < 0 || static_cast<ULONGLONG>(end.QuadPart) > kMaxReadSize)
        return false;
    if (!::SetFilePointerEx(file, zero, nullptr, FILE_BEGIN))
        return false;
    const std::size_t total = static_cast<std::size_t>(end.QuadPart);
    if (total == 0)
        return true;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[total]);
    if (!buffer)
        return false;
    std::size_t done = 0;
    while (done < total) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer.get() + done, static_cast<DWORD>(total - done), &got,
                        nullptr)) {
            return false;
        }
        if (got == 0)
            break; // the file shrank since it was measured
        done += got;
    }
    data = std::move(buffer);
    size = done;
    return true;
}

} // namespace zor
