// Shared pieces of the archive tests: writing built archives to disk, patching header
// fields of both copies at once, and switching the current folder for a test.
#pragma once
#include "test_folder.h"
#include "zip_builder.h"

#include <windows.h>

#include <string>

namespace ziptest {

inline std::wstring WriteArchive(const TempFolder& folder, const ZipImage& image,
                                 const wchar_t* name = L"test.zip") {
    const std::wstring path = folder / name;
    if (!WriteBytes(path, image.bytes))
        return std::wstring();
    return path;
}

// Offsets of the CRC and the two sizes inside each record.
constexpr size_t kLocalCrc = 14, kLocalCompressed = 18, kLocalUncompressed = 22;
constexpr size_t kCentralCrc = 16, kCentralCompressed = 20, kCentralUncompressed = 24;

// Sets a field of member index in the local header and the central record alike, so that
// the archive still opens and the damage shows only when the data is read.
inline void PatchBoth32(ZipImage* image, size_t index, size_t localField, size_t centralField,
                        uint32_t value) {
    image->Put32(image->localHeaders[index] + localField, value);
    image->Put32(image->centralRecords[index] + centralField, value);
}

// Deterministic bytes: text-like when compressible, else noise.
inline std::string SampleData(size_t size, uint32_t seed, bool compressible) {
    std::string out(size, '\0');
    uint32_t state = seed;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        out[i] = compressible ? static_cast<char>('a' + (state >> 28) % 6)
                              : static_cast<char>(state >> 24);
    }
    return out;
}

// Makes a folder current for one test and restores the previous one afterwards.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::wstring& folder) {
        wchar_t previous[MAX_PATH];
        const DWORD length = GetCurrentDirectoryW(MAX_PATH, previous);
        if (length > 0 && length < MAX_PATH)
            previous_.assign(previous, length);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolderScope() {
        if (!previous_.empty())
            SetCurrentDirectoryW(previous_.c_str());
    }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

private:
    std::wstring previous_;
};

} // namespace ziptest
