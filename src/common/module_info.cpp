#include "module_info.h"

#include "bounded_text.h"
#include "win_handles.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <new>

namespace {

constexpr DWORD kPathSize = 1024;

// The executable's full path; false when it cannot be read whole.
bool ExecutablePath(wchar_t (&path)[kPathSize]) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path, kPathSize);
    return length > 0 && length < kPathSize;
}

// The version functions live in version.dll, which is not one of the DLLs the system always
// loads from its own folder. Importing it statically would let a version.dll placed next to
// the program (a download folder, say) load into it, elevated, before any of its code runs;
// it is therefore loaded on use, from the system folder only.
class VersionLibrary {
public:
    VersionLibrary()
        : module_(::LoadLibraryExW(L"version.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        if (!module_) return;
        sizeOf_ = reinterpret_cast<SizeFn>(
            reinterpret_cast<void*>(::GetProcAddress(module_.get(), "GetFileVersionInfoSizeW")));
        infoOf_ = reinterpret_cast<InfoFn>(
            reinterpret_cast<void*>(::GetProcAddress(module_.get(), "GetFileVersionInfoW")));
        query_ = reinterpret_cast<QueryFn>(
            reinterpret_cast<void*>(::GetProcAddress(module_.get(), "VerQueryValueW")));
    }
    bool ready() const { return sizeOf_ && infoOf_ && query_; }

    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    SizeFn sizeOf_ = nullptr;
    InfoFn infoOf_ = nullptr;
    QueryFn query_ = nullptr;

private:
    zor::ModuleHandle module_;
};

} // namespace

int GetModuleFileNameOnly(wchar_t* output, std::size_t outputSize) {
    if (!output || outputSize == 0)
        return 0;
    output[0] = L'\0';
    wchar_t path[kPathSize] = {};
    if (!ExecutablePath(path))
        return 0;
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    }
    return zor::CopyText(output, outputSize, name) ? 1 : 0;
}

int GetModuleVersionText(wchar_t* output, std::size_t outputSize) {
    if (!output || outputSize < 10)
        return 0;
    wchar_t path[kPathSize] = {};
    if (!ExecutablePath(path))
        return 0;
    const VersionLibrary version;
    if (!version.ready())
        return 0;
    DWORD ignored = 0;
    const DWORD size = version.sizeOf_(path, &ignored);
    if (size == 0)
        return 0;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block || !version.infoOf_(path, 0, size, block.get()))
        return 0;
    void* value = nullptr;
    UINT valueSize = 0;
    if (!version.query_(block.get(), L"\\", &value, &valueSize) || !value ||
        valueSize < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    wchar_t text[32] = {};
    if (!zor::FormatText(text, 32, L"%d.%d.%d.%d", HIWORD(info->dwFileVersionMS),
                         LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                         LOWORD(info->dwFileVersionLS))) {
        return 0;
    }
    // Checked before copying so that a too-small output is left as it was.
    if (std::wcslen(text) >= outputSize)
        return 0;
    return zor::CopyText(output, outputSize, text) ? 1 : 0;
}
