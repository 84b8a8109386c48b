#include "registry_fixture.h"

#include <algorithm>
#include <cstdarg>

#include "component_record.h"
#include "win_handles.h"

namespace zor::test {
namespace {

constexpr REGSAM kView = KEY_WOW64_64KEY;

std::wstring Trimmed(const wchar_t* key) {
    std::wstring path = key;
    if (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

} // namespace

TestSoftwareKey::TestSoftwareKey() {
    static unsigned counter = 0;
    name_ =
        L"ZorTest" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
}

TestSoftwareKey::~TestSoftwareKey() {
    RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path().c_str(), 0, KEY_ALL_ACCESS | kView, key.put()) !=
        ERROR_SUCCESS)
        return;
    ::RegDeleteTreeW(key.get(), nullptr);
    key.reset();
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path().c_str(), kView, 0);
}

std::wstring TestSoftwareKey::path() const {
    return kRevisionManagementKey + name_;
}

void TestSoftwareKey::Plant(const PlantedRecord& record, const std::wstring& installTime) {
    RegKey key;
    const std::wstring full = path() + L"\\" + record.subKey;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, full.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    SetText(key.get(), L"ComponentXmlPath", L"\\RIDEZEZER\\vxxml\\");
    SetText(key.get(), L"InstallTime", installTime);
    SetText(key.get(), L"ComponentFileName", record.fileName);
    SetText(key.get(), L"ComponentKeyExpectedPath", record.expectedPath);
}

bool TestSoftwareKey::Exists() const {
    RegKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path().c_str(), 0, KEY_READ | kView, key.put()) ==
           ERROR_SUCCESS;
}

std::vector<std::wstring> TestSoftwareKey::SubKeys() const {
    std::vector<std::wstring> names;
    RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path().c_str(), 0, KEY_READ | kView, key.put()) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::wstring, std::wstring>
TestSoftwareKey::Values(const std::wstring& subKey, std::map<std::wstring, DWORD>* sizes) const {
    std::map<std::wstring, std::wstring> values;
    RegKey key;
    const std::wstring full = path() + L"\\" + subKey;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, full.c_str(), 0, KEY_READ | kView, key.put()) !=
        ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[1024];
        DWORD size = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
            break;
        const std::wstring valueName(name, nameLength);
        if (sizes)
            (*sizes)[valueName] = size;
        if (type == REG_SZ) {
            const size_t units = size / sizeof(wchar_t);
            data[units] = L'\0';
            values[valueName] = data;
        } else {
            values[valueName] = L"<type " + std::to_wstring(type) + L">";
        }
    }
    return values;
}

DWORD SharedKeyCount() {
    RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Trimmed(kRevisionManagementKey).c_str(), 0,
                        KEY_READ | kView, key.put()) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
    return count;
}

void RecordingLog::Write(int type, int severity, const wchar_t* sourceFile, int /*line*/,
                         const wchar_t* format, ...) {
    std::va_list args;
    va_start(args, format);
    wchar_t text[4096] = {};
    _vsnwprintf(text, 4095, format, args);
    va_end(args);
    entries.push_back({type, severity, sourceFile ? sourceFile : L"", text});
}

} // namespace zor::test
