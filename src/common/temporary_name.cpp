#include "temporary_name.h"

#include "bounded_text.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>
#include <cwchar>

int MakeTemporaryName(const wchar_t* prefix, wchar_t* output, std::size_t outputSize) {
    if (!output || outputSize == 0)
        return 0;
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
    // The service only forms a name for a non-zero unique number; with 0 it would create the
    // file in the current folder, which nobody would remove.
    UINT unique = static_cast<UINT>(std::rand()) & 0xFFFFu;
    if (unique == 0)
        unique = 1;
    wchar_t formed[MAX_PATH] = {};
    if (::GetTempFileNameW(L".", prefix ? prefix : L"", unique, formed) == 0)
        return 0;

    const wchar_t* name = formed;
    for (const wchar_t* p = formed; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    }
    const wchar_t* dot = std::wcsrchr(name, L'.');
    const std::size_t baseLength = dot ? static_cast<std::size_t>(dot - name) : std::wcslen(name);
    const wchar_t* extension = dot ? dot : L"";

    wchar_t result[MAX_PATH] = {};
    if (!zor::FormatText(result, MAX_PATH, L"%.*s.%s", static_cast<int>(baseLength), name,
                         extension)) {
        return 0;
    }
    // Checked before copying so that output keeps what it held when the name does not fit.
    if (std::wcslen(result) >= outputSize)
        return 0;
    return zor::CopyText(output, outputSize, result) ? 1 : 0;
}
