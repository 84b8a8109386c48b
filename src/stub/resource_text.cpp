#include "resource_text.h"

#include "launcher_state.h"

namespace zor {
namespace {

LANGID g_resourceLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Finds a resource in the chosen language, then in English, then in any language.
HRSRC FindLocalized(LPCWSTR type, LPCWSTR name) {
    HINSTANCE instance = LauncherInstance();
    HRSRC found = ::FindResourceExW(instance, type, name, g_resourceLanguage);
    if (!found)
        found = ::FindResourceExW(instance, type, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (!found) found = ::FindResourceW(instance, name, type);
    return found;
}

const void* LockLocalized(LPCWSTR type, LPCWSTR name, DWORD* size) {
    HRSRC found = FindLocalized(type, name);
    if (!found) return nullptr;
    HGLOBAL loaded = ::LoadResource(LauncherInstance(), found);
    if (!loaded) return nullptr;
    if (size) *size = ::SizeofResource(LauncherInstance(), found);
    return ::LockResource(loaded);
}

} // namespace

void SetResourceLanguage(LANGID language) { g_resourceLanguage = language; }
LANGID GetResourceLanguage() { return g_resourceLanguage; }

std::wstring LoadLocalizedString(UINT id, size_t maxLength) {
    // Strings are stored in blocks of 16: each entry is a length followed by that many
    // characters. Every length is checked against the block's size.
    DWORD size = 0;
    const auto* block = static_cast<const WCHAR*>(
        LockLocalized(RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), &size));
    if (!block) return std::wstring();
    const size_t units = size / sizeof(WCHAR);
    size_t position = 0;
    for (UINT index = 0; index < 16 && position < units; ++index) {
        size_t length = block[position++];
        if (length > units - position) return std::wstring();
        if (index == id % 16) {
            if (length > maxLength) length = maxLength;
            return std::wstring(block + position, length);
        }
        position += length;
    }
    return std::wstring();
}

std::wstring LoadEnglishString(UINT id) {
    const LANGID chosen = g_resourceLanguage;
    g_resourceLanguage = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    std::wstring text = LoadLocalizedString(id);
    g_resourceLanguage = chosen;
    return text;
}

INT_PTR ShowLocalizedDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const void* dialog = LockLocalized(RT_DIALOG, MAKEINTRESOURCEW(id), nullptr);
    if (!dialog) return -1;
    return ::DialogBoxIndirectParamW(LauncherInstance(), static_cast<LPCDLGTEMPLATEW>(dialog),
                                     owner, procedure, parameter);
}

HWND CreateLocalizedDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter) {
    const void* dialog = LockLocalized(RT_DIALOG, MAKEINTRESOURCEW(id), nullptr);
    if (!dialog) return nullptr;
    return ::CreateDialogIndirectParamW(LauncherInstance(), static_cast<LPCDLGTEMPLATEW>(dialog),
                                        owner, procedure, parameter);
}

} // namespace zor
