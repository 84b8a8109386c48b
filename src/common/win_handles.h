// RAII owners for the operating-system handles the programs use. Each type knows its own
// "no handle" sentinel: file handles use INVALID_HANDLE_VALUE, most others use NULL, and
// the two must never be confused (a NULL file handle is not "closed", it is a different
// failure). Owners are move-only.
#pragma once
#include <windows.h>

#include <utility>

namespace zor {

template <typename Traits> class UniqueHandle {
public:
    using handle_type = typename Traits::handle_type;

    UniqueHandle() noexcept : h_(Traits::invalid()) {}
    explicit UniqueHandle(handle_type h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    handle_type get() const noexcept { return h_; }
    bool valid() const noexcept { return h_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Address for APIs that return a handle through an out parameter; frees the old one.
    handle_type* put() noexcept {
        reset();
        return &h_;
    }
    handle_type release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(handle_type h = Traits::invalid()) noexcept {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }

private:
    handle_type h_;
};

struct FileHandleTraits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct KernelHandleTraits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using handle_type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};
struct RegKeyTraits {
    using handle_type = HKEY;
    static HKEY invalid() noexcept { return nullptr; }
    static void close(HKEY h) noexcept { ::RegCloseKey(h); }
};
struct ModuleTraits {
    using handle_type = HMODULE;
    static HMODULE invalid() noexcept { return nullptr; }
    static void close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
struct ServiceHandleTraits {
    using handle_type = SC_HANDLE;
    static SC_HANDLE invalid() noexcept { return nullptr; }
    static void close(SC_HANDLE h) noexcept { ::CloseServiceHandle(h); }
};
struct IconTraits {
    using handle_type = HICON;
    static HICON invalid() noexcept { return nullptr; }
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};

// Memory the system allocated with LocalAlloc for the caller (CommandLineToArgvW's array).
struct LocalFreeDeleter {
    void operator()(void* memory) const noexcept { ::LocalFree(memory); }
};

// CreateFile, CreateToolhelp32Snapshot: INVALID_HANDLE_VALUE on failure.
using FileHandle = UniqueHandle<FileHandleTraits>;
// Processes, threads, events, mutexes: NULL on failure.
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using ModuleHandle = UniqueHandle<ModuleTraits>;
using ServiceHandle = UniqueHandle<ServiceHandleTraits>;
using IconHandle = UniqueHandle<IconTraits>;

} // namespace zor
