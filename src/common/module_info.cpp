#include "module_info.h"

#include "bounded_text.h"

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
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return 0;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block || !::GetFileVersionInfoW(path, 0, size, block.get()))
        return 0;
    void* value = nullptr;
    UINT valueSize = 0;
    if (!::VerQueryValueW(block.get(), L"\\", &value, &valueSize) || !value ||
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
