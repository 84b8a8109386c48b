#include "pending_removals.h"

#include <windows.h>

#include "win_handles.h"

namespace zor::test {
namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";

// The value's strings in order (pairs of source and target; an empty target means delete).
std::vector<std::wstring> ReadOperations() {
    std::vector<std::wstring> strings;
    RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS)
        return strings;
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), kPendingValue, nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0)
        return strings;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.get(), kPendingValue, nullptr, nullptr,
                           reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
        return strings;
    data.resize(size / sizeof(wchar_t));
    // Pairs end at the value's end; empty strings inside are targets, so count pairs, not
    // separators.
    size_t position = 0;
    while (position < data.size()) {
        const size_t end = data.find(L'\0', position);
        const size_t stop = end == std::wstring::npos ? data.size() : end;
        strings.push_back(data.substr(position, stop - position));
        position = stop + 1;
    }
    while (strings.size() % 2 != 0)
        strings.pop_back();
    return strings;
}

std::wstring WithoutPrefix(const std::wstring& path) {
    return path.compare(0, 4, L"\\??\\") == 0 ? path.substr(4) : path;
}

bool IsUnder(const std::wstring& path, const std::wstring& folder) {
    return path.size() >= folder.size() &&
           _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
}

} // namespace

std::vector<std::wstring> PendingDeletions() {
    const std::vector<std::wstring> strings = ReadOperations();
    std::vector<std::wstring> deletions;
    for (size_t i = 0; i + 1 < strings.size(); i += 2)
        if (strings[i + 1].empty())
            deletions.push_back(WithoutPrefix(strings[i]));
    return deletions;
}

bool IsPendingDeletion(const std::wstring& path) {
    for (const std::wstring& deletion : PendingDeletions())
        if (_wcsicmp(deletion.c_str(), path.c_str()) == 0)
            return true;
    return false;
}

void ForgetPendingOperationsUnder(const std::wstring& folder) {
    const std::vector<std::wstring> strings = ReadOperations();
    std::wstring kept;
    bool changed = false;
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        if (IsUnder(WithoutPrefix(strings[i]), folder)) {
            changed = true;
            continue;
        }
        kept += strings[i] + L'\0' + strings[i + 1] + L'\0';
    }
    if (!changed)
        return;
    RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return;
    if (kept.empty()) {
        ::RegDeleteValueW(key.get(), kPendingValue);
        return;
    }
    kept += L'\0';
    ::RegSetValueExW(key.get(), kPendingValue, 0, REG_MULTI_SZ,
                     reinterpret_cast<const BYTE*>(kept.c_str()),
                     static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
}

} // namespace zor::test
