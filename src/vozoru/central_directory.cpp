// Building the entry list: the end record gives the central directory, and every central
// record must agree with the local header it points to.
#include "archive_io.h"
#include "zip_file.h"
#include "zip_records.h"
#include "zip_result.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vozoru {
namespace {

// Bytes read beyond the fixed local header and the expected name in the same read, enough for
// the extra fields that archivers commonly write.
constexpr uint32_t kLocalExtraAllowance = 64;

bool HeadersAgree(const CentralRecord& central, const LocalHeader& local) {
    return central.versionNeeded == local.versionNeeded && central.flags == local.flags &&
           central.method == local.method && central.dosTime == local.dosTime &&
           central.dosDate == local.dosDate && central.crc32 == local.crc32 &&
           central.compressedSize == local.compressedSize &&
           central.uncompressedSize == local.uncompressedSize;
}

} // namespace

int ZIP_File::ReadCentralDirectory() {
    uint64_t fileSize = 0;
    if (!GetArchiveFileSize(file_.get(), &fileSize))
        return ZIP_ERROR_READ;
    uint32_t totalEntries = 0;
    uint64_t endOffset = 0;
    int result = ReadEndRecord(fileSize, &totalEntries, &endOffset);
    if (result != ZIP_OK)
        return result;

    firstLocalHeaderOffset_ = centralDirectoryOffset_;
    return ReadEntries(fileSize, totalEntries, endOffset);
}

int ZIP_File::ReadEndRecord(uint64_t fileSize, uint32_t* totalEntries, uint64_t* endOffset) {
    // The launcher's signature block follows the archive, so the end record is searched for
    // only in the last 65,535 bytes; one read covers them all.
    const uint64_t searched = std::min<uint64_t>(fileSize, kEndRecordSearchLimit);
    if (searched == 0)
        return ZIP_ERROR_READ;
    std::vector<unsigned char> tail(static_cast<size_t>(searched));
    const uint64_t tailStart = fileSize - searched;
    if (ReadArchiveAt(file_.get(), tailStart, tail.data(), static_cast<DWORD>(searched)) !=
        ZIP_OK) {
        return ZIP_ERROR_READ;
    }
    size_t position = 0;
    if (!FindLastEndSignature(tail.data(), tail.size(), &position))
        return ZIP_ERROR_READ;
    // A signature too close to the end to hold a whole record is a truncated archive.
    if (kEndRecordSize > tail.size() - position)
        return ZIP_BAD_ARCHIVE;

    const EndRecord end = DecodeEndRecord(tail.data() + position);
    if (end.signature != kEndRecordSignature)
        return ZIP_BAD_ARCHIVE;
    // A comment cut short by the end of the file keeps what is there; nothing depends on it.
    const size_t commentAvailable = tail.size() - position - kEndRecordSize;
    const size_t commentLength = std::min<size_t>(end.commentLength, commentAvailable);
    if (commentLength != 0) {
        const char* text = reinterpret_cast<const char*>(tail.data() + position + kEndRecordSize);
        comment_.assign(text, commentLength);
        hasComment_ = true;
    }
    // Archives spanning several disks are not supported.
    if (end.totalEntries != end.entriesOnDisk || end.diskNumber != 0 ||
        end.centralDirectoryDisk != 0) {
        centralDirectoryOffset_ = 0;
        return ZIP_BAD_ARCHIVE;
    }
    centralDirectoryOffset_ = end.centralDirectoryOffset;
    *totalEntries = end.totalEntries;
    *endOffset = tailStart + position;
    return ZIP_OK;
}

int ZIP_File::ReadEntries(uint64_t fileSize, uint32_t totalEntries, uint64_t endOffset) {
    if (totalEntries == 0)
        return ZIP_OK;
    // Every central record lies between the directory's start and the end record; a count
    // that cannot fit there is refused before anything is read or allocated.
    const uint64_t directoryStart = centralDirectoryOffset_;
    if (directoryStart > endOffset)
        return ZIP_BAD_ARCHIVE;
    const uint64_t directoryLength = endOffset - directoryStart;
    if (static_cast<uint64_t>(totalEntries) * kCentralRecordFixedSize > directoryLength) {
        return ZIP_BAD_ARCHIVE;
    }

    RegionReader directory(file_.get(), directoryStart, endOffset);
    unsigned char fixed[kCentralRecordFixedSize];
    std::string centralName;
    std::vector<unsigned char> scratch;
    for (uint32_t i = 0; i < totalEntries; ++i) {
        int result = directory.Read(fixed, kCentralRecordFixedSize);
        if (result != ZIP_OK)
            return result;
        const CentralRecord central = DecodeCentralRecord(fixed);
        if (central.signature != kCentralRecordSignature)
            return ZIP_BAD_ARCHIVE;
        centralName.resize(central.nameLength);
        if (central.nameLength != 0) {
            result = directory.Read(&centralName[0], central.nameLength);
            if (result != ZIP_OK)
                return result;
        }
        // The central extra field and comment only need to be passed over.
        result = directory.Read(nullptr, central.extraLength + central.commentLength);
        if (result != ZIP_OK)
            return result;

        std::unique_ptr<EntryNode> node(new (std::nothrow) EntryNode);
        if (!node)
            return ZIP_ERROR_MEMORY;
        node->entry.reset(new (std::nothrow) ZIP_FileEntry);
        if (!node->entry)
            return ZIP_ERROR_MEMORY;
        firstLocalHeaderOffset_ = std::min(firstLocalHeaderOffset_, central.localHeaderOffset);
        result = ReadLocalHeader(file_.get(), fileSize, central, centralName, &scratch,
                                 node->entry.get());
        if (result != ZIP_OK)
            return result;
        AppendEntry(std::move(node));
    }
    return ZIP_OK;
}

int ZIP_File::ReadLocalHeader(HANDLE file, uint64_t fileSize, const CentralRecord& central,
                              const std::string& centralName, std::vector<unsigned char>* scratch,
                              ZIP_FileEntry* entry) {
    const uint64_t offset = central.localHeaderOffset;
    if (offset > fileSize || kLocalHeaderFixedSize > fileSize - offset)
        return ZIP_BAD_ARCHIVE;
    // A local header normally repeats the central name and carries a short extra field, so
    // one read that takes a little more than the central name usually brings the whole
    // header; only a longer one needs a second read. The read never runs past the file's end.
    const uint64_t guessed =
        static_cast<uint64_t>(kLocalHeaderFixedSize) + centralName.size() + kLocalExtraAllowance;
    const DWORD firstRead = static_cast<DWORD>(std::min<uint64_t>(guessed, fileSize - offset));
    scratch->resize(firstRead);
    int result = ReadArchiveAt(file, offset, scratch->data(), firstRead);
    if (result != ZIP_OK)
        return result;
    const LocalHeader local = DecodeLocalHeader(scratch->data());
    if (local.signature != kLocalHeaderSignature)
        return ZIP_BAD_ARCHIVE;

    const uint64_t variableStart = offset + kLocalHeaderFixedSize;
    const uint32_t variableLength = local.nameLength + local.extraLength;
    if (variableLength > fileSize - variableStart)
        return ZIP_BAD_ARCHIVE;
    const uint32_t headerLength = kLocalHeaderFixedSize + variableLength;
    if (headerLength > firstRead) {
        scratch->resize(headerLength);
        result = ReadArchiveAt(file, offset + firstRead, scratch->data() + firstRead,
                               headerLength - firstRead);
        if (result != ZIP_OK)
            return result;
    }
    const char* localName = reinterpret_cast<const char*>(scratch->data() + kLocalHeaderFixedSize);

    // Sizes and CRC deferred to a data descriptor leave zeros here, so such entries are
    // refused along with any other disagreement.
    if (!HeadersAgree(central, local) || local.nameLength != centralName.size() ||
        std::memcmp(localName, centralName.data(), centralName.size()) != 0) {
        return ZIP_BAD_ARCHIVE;
    }
    // The entry's data must lie inside the file and be addressable by a 32-bit offset.
    const uint64_t dataOffset = variableStart + variableLength;
    if (dataOffset > UINT32_MAX || local.compressedSize > fileSize - dataOffset) {
        return ZIP_BAD_ARCHIVE;
    }

    entry->versionMadeBy_ = central.versionMadeBy;
    entry->versionNeeded_ = local.versionNeeded;
    entry->flags_ = local.flags;
    entry->method_ = local.method;
    entry->dosTime_ = local.dosTime;
    entry->dosDate_ = local.dosDate;
    entry->crc32_ = local.crc32;
    entry->compressedSize_ = local.compressedSize;
    entry->uncompressedSize_ = local.uncompressedSize;
    entry->diskNumberStart_ = central.diskNumberStart;
    entry->internalAttributes_ = central.internalAttributes;
    entry->externalAttributes_ = central.externalAttributes;
    entry->localHeaderOffset_ = central.localHeaderOffset;
    entry->name_.assign(localName, local.nameLength);
    const auto extraStart = scratch->begin() + kLocalHeaderFixedSize + local.nameLength;
    entry->localExtra_.assign(extraStart, extraStart + local.extraLength);
    entry->sourceKind_ = ZIP_FileEntry::kSourceArchiveMember;
    entry->file_ = file;
    entry->dataOffset_ = static_cast<uint32_t>(dataOffset);
    entry->remainingCompressed_ = local.compressedSize;
    return ZIP_OK;
}

} // namespace vozoru
