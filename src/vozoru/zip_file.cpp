// Opening and closing the archive, and finding its entries.
#include "zip_file.h"

#include "archive_io.h"
#include "entry_name.h"
#include "zip_result.h"

#include <new>

namespace vozoru {

ZIP_File::ZIP_File() {
    CloseArchive();
}

ZIP_File::~ZIP_File() {
    CloseArchive();
}

int ZIP_File::OpenArchive(const wchar_t* path, bool readOnly) {
    if (file_.valid() || entryCount_ != 0)
        CloseArchive();
    readOnly_ = readOnly ? 1 : 0;
    if (!path)
        return ZIP_ERROR_OPEN;

    const DWORD access = readOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD share = readOnly ? FILE_SHARE_READ : 0;
    file_.reset(CreateFileW(path, access, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file_) {
        CloseArchive();
        return ZIP_ERROR_OPEN;
    }

    int result;
    try {
        result = ReadCentralDirectory();
    } catch (const std::bad_alloc&) {
        result = ZIP_ERROR_MEMORY;
    }
    if (result == ZIP_OK && firstLocalHeaderOffset_ != 0)
        hasLeadingData_ = 1;
    if (result != ZIP_OK)
        CloseArchive();
    return result;
}

void ZIP_File::CloseArchive() {
    comment_.clear();
    hasComment_ = false;
    ClearEntries();
    file_.reset();
    flag_ = 0;
    readOnly_ = 1;
    hasLeadingData_ = 0;
    firstLocalHeaderOffset_ = 0;
    centralDirectoryOffset_ = 0;
}

void ZIP_File::AppendEntry(std::unique_ptr<EntryNode> node) {
    tail_->next = std::move(node);
    tail_ = tail_->next.get();
    ++entryCount_;
}

void ZIP_File::ClearEntries() {
    // Unlink one node at a time: letting the chain of owners destroy itself would recurse
    // once per entry.
    std::unique_ptr<EntryNode> node = std::move(head_.next);
    while (node)
        node = std::move(node->next);
    tail_ = &head_;
    entryCount_ = 0;
    lookupNode_ = nullptr;
    lookupIndex_ = 0;
}

ZIP_FileEntry* ZIP_File::GetEntry(uint32_t index) const {
    if (index >= entryCount_)
        return nullptr;
    // Callers walk by ascending index, so resume from the last answer when possible.
    if (!lookupNode_ || index < lookupIndex_) {
        lookupNode_ = head_.next.get();
        lookupIndex_ = 0;
    }
    while (lookupIndex_ < index) {
        lookupNode_ = lookupNode_->next.get();
        ++lookupIndex_;
    }
    return lookupNode_->entry.get();
}

ZIP_FileEntry* ZIP_File::FindEntryUnguarded(const wchar_t* name) const {
    if (!name)
        return nullptr;
    const int nameLength = lstrlenW(name);
    std::wstring candidate;
    for (const EntryNode* node = head_.next.get(); node; node = node->next.get()) {
        if (!AnsiNameToWide(node->entry->name_, &candidate))
            continue;
        if (candidate.size() > static_cast<size_t>(INT_MAX))
            continue;
        if (CompareStringOrdinal(candidate.c_str(), static_cast<int>(candidate.size()), name,
                                 nameLength, TRUE) == CSTR_EQUAL) {
            return node->entry.get();
        }
    }
    return nullptr;
}

ZIP_FileEntry* ZIP_File::FindEntry(const wchar_t* name) const {
    // Without memory for a converted name nothing can be compared, so nothing is found.
    try {
        return FindEntryUnguarded(name);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void ZIP_File::BeginEntryIteration(EntryCursor* cursor) const {
    if (cursor)
        cursor->node = &head_;
}

ZIP_FileEntry* ZIP_File::NextEntry(EntryCursor* cursor) const {
    if (!cursor || !cursor->node)
        return nullptr;
    cursor->node = cursor->node->next.get();
    return cursor->node ? cursor->node->entry.get() : nullptr;
}

void ZIP_File::EndEntryIteration(EntryCursor* cursor) const {
    if (cursor)
        cursor->node = nullptr;
}

} // namespace vozoru
