// The read-only ZIP reader for the archive appended to the launcher's own file: finds the
// archive by its end record, lists its entries from the central directory (each checked
// against its local header) and extracts them.
#pragma once
#include "win_handles.h"
#include "zip_file_entry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vozoru {

struct CentralRecord;

// Handed to the ExtractAll callback before each entry.
struct ExtractProgress {
    int64_t index; // 1-based
    int64_t total;
    const wchar_t* path; // full output path of the entry
};

// Returns false to stop the extraction.
using ExtractProgressCallback = bool (*)(void* userValue, const ExtractProgress* progress);

class ZIP_File {
public:
    struct EntryNode {
        std::unique_ptr<ZIP_FileEntry> entry;
        std::unique_ptr<EntryNode> next;
    };
    // Position of an iteration over the entries.
    struct EntryCursor {
        const EntryNode* node = nullptr;
    };

    ZIP_File();
    virtual ~ZIP_File();
    ZIP_File(const ZIP_File&) = delete;
    ZIP_File& operator=(const ZIP_File&) = delete;

    int OpenArchive(const wchar_t* path, bool readOnly = true);
    void CloseArchive();

    uint32_t GetEntryCount() const { return entryCount_; }
    ZIP_FileEntry* GetEntry(uint32_t index) const;
    // The first entry whose name equals name ignoring case.
    ZIP_FileEntry* FindEntry(const wchar_t* name) const;

    void BeginEntryIteration(EntryCursor* cursor) const;
    ZIP_FileEntry* NextEntry(EntryCursor* cursor) const;
    void EndEntryIteration(EntryCursor* cursor) const;

    // Extracts every entry below destination (null: the current folder). Every name is
    // checked before anything is written.
    int ExtractAll(const wchar_t* destination, ExtractProgressCallback callback, void* userValue);

    bool IsOpen() const { return file_.valid(); }
    bool IsReadOnly() const { return readOnly_ != 0; }
    bool HasLeadingData() const { return hasLeadingData_ != 0; }
    uint32_t GetFirstLocalHeaderOffset() const { return firstLocalHeaderOffset_; }
    uint32_t GetCentralDirectoryOffset() const { return centralDirectoryOffset_; }
    // The end record's comment, or null when it has none.
    const char* GetComment() const { return hasComment_ ? comment_.c_str() : nullptr; }

private:
    int ReadCentralDirectory();
    int ReadEndRecord(uint64_t fileSize, uint32_t* totalEntries, uint64_t* endOffset);
    int ReadEntries(uint64_t fileSize, uint32_t totalEntries, uint64_t endOffset);
    static int ReadLocalHeader(HANDLE file, uint64_t fileSize, const CentralRecord& central,
                               const std::string& centralName, std::vector<unsigned char>* scratch,
                               ZIP_FileEntry* entry);
    void AppendEntry(std::unique_ptr<EntryNode> node);
    void ClearEntries();
    int CheckOutputPaths(const std::wstring& destination) const;
    ZIP_FileEntry* FindEntryUnguarded(const wchar_t* name) const;
    int ExtractAllUnguarded(const wchar_t* destination, ExtractProgressCallback callback,
                            void* userValue);

    // Entries in central-directory order, behind a head node.
    EntryNode head_;
    std::string comment_;
    zor::FileHandle file_;
    unsigned char flag_ = 0;
    unsigned char readOnly_ = 1;
    unsigned char hasLeadingData_ = 0;
    uint32_t firstLocalHeaderOffset_ = 0;
    uint32_t centralDirectoryOffset_ = 0;

    // Bookkeeping beside the list: appending stays constant-time and walking by index
    // resumes from the last position asked for.
    EntryNode* tail_ = &head_;
    uint32_t entryCount_ = 0;
    bool hasComment_ = false;
    mutable const EntryNode* lookupNode_ = nullptr;
    mutable uint32_t lookupIndex_ = 0;
};

} // namespace vozoru
