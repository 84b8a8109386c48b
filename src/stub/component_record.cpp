#include "component_record.h"

#include <cwchar>
#include <limits>
#include <vector>

#include "win_handles.h"

namespace zor {
namespace {

// Sub-key names are read with room for 512 characters (the registry allows 255).
constexpr DWORD kSubKeyNameMax = 512;
constexpr std::size_t kTimeTextMax = 255;
constexpr REGSAM kView = KEY_WOW64_64KEY;

// Reads a REG_SZ value whole. A value of another type, a longer one or a missing one is not
// read; a stored text without its terminator ends where its data ends.
bool ReadTextValue(HKEY key, const wchar_t* name, std::wstring& text) {
    text.clear();
    wchar_t buffer[kRecordValueMax + 1];
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(kRecordValueMax * sizeof(wchar_t));
    const LSTATUS status =
        ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return false;
    const std::size_t units = size / sizeof(wchar_t);
    buffer[units] = L'\0';
    text.assign(buffer, ::wcsnlen(buffer, units));
    return true;
}

bool ValueEquals(HKEY key, const wchar_t* name, const std::wstring& expected) {
    if (expected.empty())
        return false;
    std::wstring stored;
    return ReadTextValue(key, name, stored) && stored == expected;
}

bool WriteTextValue(HKEY key, const wchar_t* name, const std::wstring& text) {
    if (text.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t) - 1)
        return false;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

std::vector<std::wstring> EnumerateSubKeys(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[kSubKeyNameMax + 1];
        DWORD length = kSubKeyNameMax + 1;
        if (::RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

// The number a sub-key name stands for, when the name is a plain decimal number as the
// launcher writes them ("0", "17"; no sign, no leading zero).
bool RecordNumber(const std::wstring& name, unsigned long& number) {
    if (name.empty() || name.size() > 9 || (name.size() > 1 && name[0] == L'0'))
        return false;
    number = 0;
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9')
            return false;
        number = number * 10 + static_cast<unsigned long>(c - L'0');
    }
    return true;
}

// Order of the sub-keys that hold the same component: numbered ones first, lowest number
// first; other names keep their enumeration order after them.
bool RecordPrecedes(const std::wstring& a, const std::wstring& b) {
    unsigned long numberA = 0;
    unsigned long numberB = 0;
    const bool numericA = RecordNumber(a, numberA);
    const bool numericB = RecordNumber(b, numberB);
    if (numericA && numericB)
        return numberA < numberB;
    return numericA && !numericB;
}

bool IsNameInUse(const std::vector<std::wstring>& names, const std::wstring& candidate) {
    for (const std::wstring& name : names)
        if (_wcsicmp(name.c_str(), candidate.c_str()) == 0)
            return true;
    return false;
}

} // namespace

bool RecordHoldsComponent(HKEY subKey, const ComponentIdentity& identity) {
    return ValueEquals(subKey, L"ComponentFileName", identity.fileName) ||
           ValueEquals(subKey, L"ComponentKeyExpectedPath", identity.expectedPath);
}

std::wstring ChooseRecordSubKey(HKEY softwareKey, const ComponentIdentity& identity) {
    const std::vector<std::wstring> names = EnumerateSubKeys(softwareKey);

    std::vector<std::size_t> holding;
    for (std::size_t i = 0; i < names.size(); ++i) {
        RegKey subKey;
        if (::RegOpenKeyExW(softwareKey, names[i].c_str(), 0, KEY_READ | kView, subKey.put()) !=
            ERROR_SUCCESS)
            continue;
        if (RecordHoldsComponent(subKey.get(), identity))
            holding.push_back(i);
    }

    if (!holding.empty()) {
        std::size_t chosen = holding.front();
        for (std::size_t i : holding)
            if (RecordPrecedes(names[i], names[chosen]))
                chosen = i;
        // One record per component: the other copies go. A copy that cannot be deleted (it
        // has sub-keys of its own, or is protected) is left as it is.
        for (std::size_t i : holding)
            if (i != chosen)
                ::RegDeleteKeyExW(softwareKey, names[i].c_str(), kView, 0);
        return names[chosen];
    }

    // At most names.size() numbers are taken, so one of the first names.size() + 1 is free.
    for (std::size_t number = 0;; ++number) {
        const std::wstring candidate = std::to_wstring(number);
        if (!IsNameInUse(names, candidate))
            return candidate;
    }
}

std::wstring FormatInstallTime(const SYSTEMTIME& localTime) {
    wchar_t date[kTimeTextMax + 1] = {};
    wchar_t time[kTimeTextMax + 1] = {};
    if (::GetDateFormatW(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &localTime, nullptr, date,
                         kTimeTextMax + 1) == 0)
        date[0] = L'\0';
    if (::GetTimeFormatW(LOCALE_SYSTEM_DEFAULT, TIME_FORCE24HOURFORMAT, &localTime, nullptr, time,
                         kTimeTextMax + 1) == 0)
        time[0] = L'\0';
    return std::wstring(date) + L"-" + time;
}

bool WriteComponentValues(HKEY subKey, const ComponentIdentity& identity,
                          const std::wstring& installTime) {
    bool allWritten = WriteTextValue(subKey, L"ComponentXmlPath", kDefinitionCopyFolder);
    allWritten &= WriteTextValue(subKey, L"InstallTime", installTime);
    allWritten &= WriteTextValue(subKey, L"ComponentFileName", identity.fileName);
    allWritten &= WriteTextValue(subKey, L"ComponentKeyExpectedPath", identity.expectedPath);
    return allWritten;
}

} // namespace zor
