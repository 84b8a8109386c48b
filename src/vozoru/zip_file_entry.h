// One member of an opened archive: its header values and the operations that read its data.
#pragma once
#include <windows.h>

#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vozoru {

class ZIP_File;

// The state of one entry being read, kept on the caller's stack between OpenEntryRead and
// CloseEntryRead. Its destructor releases what a caller forgot to close.
struct EntryReadState {
    // Compressed bytes are read in chunks of up to this size: a few reads for a typical
    // member rather than one per 16 KB, and still a modest allocation. An entry with less
    // compressed data gets a buffer of its own size.
    static constexpr uint32_t kInputSize = 64 * 1024;

    std::unique_ptr<unsigned char[]> input;
    uint32_t inputCapacity = 0;
    HANDLE file = INVALID_HANDLE_VALUE;
    z_stream stream{};
    uint32_t crc = 0;
    uint32_t remainingCompressed = 0;
    uint32_t remainingUncompressed = 0;
    uint64_t readPosition = 0;
    bool inflating = false;
    // The data ran out (stored bytes exhausted, or the deflate stream ended) before the
    // declared uncompressed size was produced: the entry is damaged, not merely unfinished.
    bool endedEarly = false;

    EntryReadState() = default;
    EntryReadState(const EntryReadState&) = delete;
    EntryReadState& operator=(const EntryReadState&) = delete;
    ~EntryReadState() { Release(); }
    void Release();
};

class ZIP_FileEntry {
public:
    // An entry's source: a member of an opened archive is the only kind reading produces.
    static constexpr int32_t kSourceArchiveMember = 2;
    static constexpr uint32_t kMethodStored = 0;
    static constexpr uint32_t kMethodDeflated = 8;

    ZIP_FileEntry() = default;
    ZIP_FileEntry(const ZIP_FileEntry&) = delete;
    ZIP_FileEntry& operator=(const ZIP_FileEntry&) = delete;

    // A name ending with "/", or with "\" when both sizes are 0.
    bool IsDirectory() const;

    // Extracts to path, or (path null) under the entry's own name below the current folder.
    int ExtractToFile(const wchar_t* path, bool doNotOverwrite);
    int ExtractToHandle(HANDLE output);
    int ExtractToMemory(void* buffer, uint32_t length);

    int OpenEntryRead(EntryReadState* state);
    int ReadEntryData(EntryReadState* state, void* buffer, uint32_t length,
                      uint32_t* produced = nullptr);
    int CloseEntryRead(EntryReadState* state);

    const char* GetName() const { return name_.c_str(); }
    size_t GetNameLength() const { return name_.size(); }
    uint32_t GetVersionMadeBy() const { return versionMadeBy_; }
    uint32_t GetVersionNeeded() const { return versionNeeded_; }
    uint32_t GetFlags() const { return flags_; }
    uint32_t GetMethod() const { return method_; }
    uint32_t GetDosTime() const { return dosTime_; }
    uint32_t GetDosDate() const { return dosDate_; }
    uint32_t GetCrc32() const { return crc32_; }
    uint32_t GetCompressedSize() const { return compressedSize_; }
    uint32_t GetUncompressedSize() const { return uncompressedSize_; }
    uint32_t GetInternalAttributes() const { return internalAttributes_; }
    uint32_t GetExternalAttributes() const { return externalAttributes_; }
    uint32_t GetLocalHeaderOffset() const { return localHeaderOffset_; }
    uint32_t GetDataOffset() const { return dataOffset_; }
    const std::vector<unsigned char>& GetLocalExtra() const { return localExtra_; }

private:
    friend class ZIP_File;

    int ExtractToFileUnguarded(const wchar_t* path, bool doNotOverwrite,
                               std::wstring* readyFolder = nullptr);
    int ExtractDirectory(const wchar_t* path);
    // readyFolder (may be null): a folder known to exist, which then is not made again; it
    // is updated to this file's folder.
    int ExtractFileData(const std::wstring& path, bool doNotOverwrite,
                        std::wstring* readyFolder = nullptr);
    bool EntryFileTime(FILETIME* universal) const;
    void ApplyEntryTimes(HANDLE output) const;
    bool ApplyEntryTimesAndAttributes(HANDLE output) const;

    uint32_t versionMadeBy_ = 0;
    uint32_t versionNeeded_ = 0;
    uint32_t flags_ = 0;
    uint32_t method_ = 0;
    uint32_t dosTime_ = 0;
    uint32_t dosDate_ = 0;
    uint32_t crc32_ = 0;
    uint32_t compressedSize_ = 0;
    uint32_t uncompressedSize_ = 0;
    uint32_t diskNumberStart_ = 0;
    uint32_t internalAttributes_ = 0;
    uint32_t externalAttributes_ = 0;
    uint32_t localHeaderOffset_ = 0;
    std::string name_;
    std::vector<unsigned char> localExtra_;
    std::string comment_;
    int32_t sourceKind_ = kSourceArchiveMember;
    HANDLE file_ = INVALID_HANDLE_VALUE; // the archive's handle, owned by the archive
    uint32_t dataOffset_ = 0;
    uint32_t remainingCompressed_ = 0;
    std::wstring temporaryPath_;
};

} // namespace vozoru
