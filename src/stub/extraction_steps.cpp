#include "extraction_steps.h"

#include <cwchar>
#include <string>

#include "launcher_state.h"
#include "progress_window.h"
#include "res/resource.h"
#include "resource_text.h"
#include "zip_file.h"

namespace zor {
namespace {

// Replaces each "%lu" of `pattern` with the next number, so that byte counts beyond 4 GiB
// are shown whole and the template is never handed to a printf-style formatter.
std::wstring FillNumbers(const std::wstring& pattern, const uint64_t* numbers, size_t count) {
    std::wstring result;
    size_t next = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 3, L"%lu") == 0 && next < count) {
            result += std::to_wstring(numbers[next++]);
            i += 2;
        } else {
            result += pattern[i];
        }
    }
    return result;
}

} // namespace

uint64_t RequiredExtractionBytes() {
    uint64_t total = 0;
    vozoru::ZIP_File& archive = Archive();
    for (uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        if (const vozoru::ZIP_FileEntry* entry = archive.GetEntry(i))
            total += entry->GetUncompressedSize();
    }
    return total;
}

uint64_t AvailableBytesHere() {
    ULARGE_INTEGER available = {};
    if (!::GetDiskFreeSpaceExW(nullptr, &available, nullptr, nullptr)) return 0;
    return available.QuadPart;
}

std::wstring FormatDiskSpaceMessage(uint64_t required, uint64_t available, bool english) {
    const uint64_t numbers[] = {required, available, required > available ? required - available : 0};
    const std::wstring pattern =
        english ? LoadEnglishString(IDS_DISK_SPACE) : LoadLocalizedString(IDS_DISK_SPACE);
    return FillNumbers(pattern, numbers, 3);
}

int ExtractPackageInto(const wchar_t* folder, HWND progressBar) {
    return Archive().ExtractAll(folder, ExtractProgressCallback, progressBar);
}

bool CopyConfigFileInto(const wchar_t* folder, const wchar_t* source, std::wstring& target) {
    const wchar_t* name = source;
    for (const wchar_t* p = source; *p; ++p)
        if (*p == L'\\' || *p == L'/' || *p == L':') name = p + 1;
    target = folder;
    if (!target.empty() && target.back() != L'\\') target += L'\\';
    target += name;
    return ::CopyFileW(source, target.c_str(), FALSE) != FALSE;
}

} // namespace zor
