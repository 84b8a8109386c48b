#include "entry_name.h"

#include "folder_path.h"

#include <windows.h>

#include <cwchar>

namespace vozoru {
namespace {

wchar_t AsciiUpper(wchar_t c) {
    return (c >= L'a' && c <= L'z') ? c - (L'a' - L'A') : c;
}

bool EqualsAsciiNoCase(const std::wstring& text, const wchar_t* word) {
    const size_t length = std::wcslen(word);
    if (text.size() != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (AsciiUpper(text[i]) != word[i])
            return false;
    }
    return true;
}

bool IsDeviceDigit(wchar_t c) {
    // Windows also treats the superscript digits one to three as port numbers.
    return (c >= L'0' && c <= L'9') || c == 0x00B9 || c == 0x00B2 || c == 0x00B3;
}

// Windows maps these names to devices in any folder and with any extension.
bool IsDeviceName(const std::wstring& segment) {
    std::wstring base = segment.substr(0, segment.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    static const wchar_t* const kDevices[] = {L"CON",    L"PRN",     L"AUX",   L"NUL",
                                              L"CONIN$", L"CONOUT$", L"CLOCK$"};
    for (const wchar_t* device : kDevices) {
        if (EqualsAsciiNoCase(base, device))
            return true;
    }
    if (base.size() == 4 && IsDeviceDigit(base[3])) {
        const std::wstring stem = base.substr(0, 3);
        if (EqualsAsciiNoCase(stem, L"COM") || EqualsAsciiNoCase(stem, L"LPT"))
            return true;
    }
    return false;
}

// "..", "...", ". ." and the like: Windows trims trailing dots and spaces, so any segment of
// only dots and spaces other than "." may climb out of its folder.
bool IsDotSegment(const std::wstring& segment) {
    if (segment.empty() || segment == L".")
        return false;
    return segment.find_first_not_of(L". ") == std::wstring::npos;
}

bool IsRefusedCharacter(wchar_t c) {
    return c < 0x20 || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' ||
           c == L'|';
}

} // namespace

bool AnsiNameToWide(const std::string& name, std::wstring* wide) {
    wide->clear();
    if (name.empty())
        return true;
    if (name.size() > static_cast<size_t>(INT_MAX))
        return false;
    const int length = static_cast<int>(name.size());
    const int needed =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), length, nullptr, 0);
    if (needed <= 0)
        return false;
    wide->resize(static_cast<size_t>(needed));
    const int written =
        MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), length, &(*wide)[0], needed);
    if (written != needed) {
        wide->clear();
        return false;
    }
    return true;
}

bool IsContainedEntryName(const std::wstring& name) {
    // A leading separator is a rooted or UNC path.
    if (name.empty() || IsPathSeparator(name[0]))
        return false;
    for (wchar_t c : name) {
        if (IsRefusedCharacter(c))
            return false;
    }
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsPathSeparator(name[end]))
            ++end;
        const std::wstring segment = name.substr(start, end - start);
        if (IsDotSegment(segment) || IsDeviceName(segment))
            return false;
        start = end + 1;
    }
    return true;
}

bool JoinOutputPath(const std::wstring& folder, const std::wstring& name, std::wstring* path) {
    if (folder.size() + 1 + name.size() > kMaxOutputPathChars)
        return false;
    *path = folder;
    path->push_back(L'\\');
    path->append(name);
    return true;
}

bool GetCurrentFolder(std::wstring* folder) {
    wchar_t buffer[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    if (length == 0 || length >= MAX_PATH)
        return false;
    folder->assign(buffer, length);
    // The root folder comes back as "C:\"; joining adds its own separator.
    if (!folder->empty() && IsPathSeparator(folder->back()))
        folder->pop_back();
    return true;
}

} // namespace vozoru
