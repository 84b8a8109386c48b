#include "config_file_writer.h"

#include <windows.h>
#include <oleauto.h>

#include <cwchar>

#include "cppkg.h"
#include "win_handles.h"
#include "zip_file.h"

namespace zor {

namespace {

// A segment that names a device (CON, NUL, COM1, "aux.cfg"...) opens that device instead of a
// file in the folder.
bool IsDeviceName(const wchar_t* segment, size_t length) {
    size_t base = 0;
    while (base < length && segment[base] != L'.') ++base;
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$",
                                              L"CONOUT$"};
    for (const wchar_t* device : kDevices)
        if (std::wcslen(device) == base && _wcsnicmp(segment, device, base) == 0) return true;
    if (base == 4 && (_wcsnicmp(segment, L"COM", 3) == 0 || _wcsnicmp(segment, L"LPT", 3) == 0))
        return segment[3] >= L'1' && segment[3] <= L'9';
    return false;
}

} // namespace

bool IsContainedRelativePath(const wchar_t* path) {
    if (!path || !path[0]) return false;
    if (path[0] == L'\\' || path[0] == L'/' || std::wcschr(path, L':')) return false;
    const wchar_t* segment = path;
    for (const wchar_t* p = path;; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L'\0') {
            const size_t length = static_cast<size_t>(p - segment);
            if (length == 2 && segment[0] == L'.' && segment[1] == L'.') return false;
            if (IsDeviceName(segment, length)) return false;
            if (*p == L'\0') break;
            segment = p + 1;
        }
    }
    return true;
}

bool WriteConfigFile(const CPPkg& package, vozoru::ZIP_File& archive) {
    const wchar_t* name = package.GetConfigFileName();
    if (!package.HasConfigUi() || !name || !name[0] || !archive.FindEntry(name)) return true;
    const VARIANT& data = package.GetConfigData();
    if (data.vt != (VT_ARRAY | VT_UI1) || !data.parray) return false;
    if (!IsContainedRelativePath(name)) return false;

    FileHandle file(::CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LONG lower = 0, upper = -1;
    if (FAILED(::SafeArrayGetLBound(data.parray, 1, &lower)) ||
        FAILED(::SafeArrayGetUBound(data.parray, 1, &upper)))
        return false;
    if (upper < lower) return true;
    void* bytes = nullptr;
    if (FAILED(::SafeArrayAccessData(data.parray, &bytes))) return false;
    const DWORD size = static_cast<DWORD>(upper - lower + 1);
    DWORD written = 0;
    const bool ok = ::WriteFile(file.get(), bytes, size, &written, nullptr) && written == size;
    ::SafeArrayUnaccessData(data.parray);
    return ok;
}

} // namespace zor
