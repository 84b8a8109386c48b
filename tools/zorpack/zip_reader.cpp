#include "zip_reader.h"

#include <algorithm>

namespace zorpack {
namespace {

class ArchiveFile {
public:
    ArchiveFile(std::istream& in, std::uint64_t size) : in_(in), size_(size) {}

    // Reads `length` bytes at `offset`; false when they do not lie wholly inside the file.
    bool read(std::uint64_t offset, std::size_t length, std::vector<unsigned char>& bytes) {
        if (offset > size_ || length > size_ - offset)
            return false;
        bytes.resize(length);
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(offset));
        in_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
        return in_.gcount() == static_cast<std::streamsize>(length);
    }

private:
    std::istream& in_;
    std::uint64_t size_;
};

// Searches the file's tail backwards for the end record's signature, as the launcher does: the
// last occurrence in the final 65,535 bytes wins.
bool findEndRecord(ArchiveFile& file, std::uint64_t fileSize, std::uint64_t& offset) {
    const auto window = static_cast<std::size_t>(std::min(fileSize, kEndRecordSearchLimit));
    std::vector<unsigned char> tail;
    if (window < 4 || !file.read(fileSize - window, window, tail))
        return false;
    for (std::size_t i = window - 4;; --i) {
        if (getU32(&tail[i]) == kEndRecordSignature) {
            offset = fileSize - window + i;
            return true;
        }
        if (i == 0)
            return false;
    }
}

std::string memberLabel(std::size_t index, const std::string& name) {
    return "member " + std::to_string(index + 1) + (name.empty() ? "" : " (" + name + ")");
}

// Names the first header field in which the local header disagrees with the central directory.
const char* firstDifference(const EntryHeader& central, const EntryHeader& local) {
    if (central.versionNeeded != local.versionNeeded)
        return "version needed";
    if (central.flags != local.flags)
        return "flags";
    if (central.method != local.method)
        return "compression method";
    if (central.dosTime != local.dosTime)
        return "time";
    if (central.dosDate != local.dosDate)
        return "date";
    if (central.crc32 != local.crc32)
        return "CRC-32";
    if (central.compressedSize != local.compressedSize)
        return "compressed size";
    if (central.uncompressedSize != local.uncompressedSize)
        return "uncompressed size";
    if (central.name != local.name)
        return "name";
    return nullptr;
}

bool readMember(ArchiveFile& file, std::uint64_t fileSize, std::size_t index,
                std::uint64_t& position, EntryHeader& entry, std::string& error) {
    std::vector<unsigned char> b;
    if (!file.read(position, kCentralHeaderSize, b) || getU32(&b[0]) != kCentralHeaderSignature) {
        error = memberLabel(index, "") + ": bad central directory record";
        return false;
    }
    entry.versionMadeBy = getU16(&b[4]);
    entry.versionNeeded = getU16(&b[6]);
    entry.flags = getU16(&b[8]);
    entry.method = getU16(&b[10]);
    entry.dosTime = getU16(&b[12]);
    entry.dosDate = getU16(&b[14]);
    entry.crc32 = getU32(&b[16]);
    entry.compressedSize = getU32(&b[20]);
    entry.uncompressedSize = getU32(&b[24]);
    const std::size_t nameLength = getU16(&b[28]);
    const std::size_t extraLength = getU16(&b[30]);
    const std::size_t commentLength = getU16(&b[32]);
    entry.externalAttributes = getU32(&b[38]);
    entry.localHeaderOffset = getU32(&b[42]);
    if (!file.read(position + kCentralHeaderSize, nameLength, b)) {
        error = memberLabel(index, "") + ": central directory record cut off";
        return false;
    }
    entry.name.assign(b.begin(), b.end());
    position += kCentralHeaderSize + nameLength + extraLength + commentLength;

    EntryHeader local;
    if (!file.read(entry.localHeaderOffset, kLocalHeaderSize, b) ||
        getU32(&b[0]) != kLocalHeaderSignature) {
        error = memberLabel(index, entry.name) + ": bad local header";
        return false;
    }
    local.versionNeeded = getU16(&b[4]);
    local.flags = getU16(&b[6]);
    local.method = getU16(&b[8]);
    local.dosTime = getU16(&b[10]);
    local.dosDate = getU16(&b[12]);
    local.crc32 = getU32(&b[14]);
    local.compressedSize = getU32(&b[18]);
    local.uncompressedSize = getU32(&b[22]);
    const std::size_t localNameLength = getU16(&b[26]);
    const std::size_t localExtraLength = getU16(&b[28]);
    if (!file.read(std::uint64_t{entry.localHeaderOffset} + kLocalHeaderSize, localNameLength, b)) {
        error = memberLabel(index, entry.name) + ": local header cut off";
        return false;
    }
    local.name.assign(b.begin(), b.end());
    if (const char* field = firstDifference(entry, local)) {
        error = memberLabel(index, entry.name) +
                ": the local header disagrees with the central "
                "directory in its " +
                field;
        return false;
    }
    if (entry.method != kMethodStored && entry.method != kMethodDeflated) {
        error = memberLabel(index, entry.name) + ": compression method " +
                std::to_string(entry.method) + " cannot be read (only stored and deflated)";
        return false;
    }
    const std::uint64_t dataOffset = std::uint64_t{entry.localHeaderOffset} + kLocalHeaderSize +
                                     localNameLength + localExtraLength;
    if (dataOffset > kMaxArchiveOffset || dataOffset > fileSize ||
        entry.compressedSize > fileSize - dataOffset) {
        error = memberLabel(index, entry.name) + ": its data lies beyond the end of the file";
        return false;
    }
    return true;
}

} // namespace

bool readArchiveDirectory(std::istream& in, ArchiveDirectory& directory, std::string& error) {
    directory = ArchiveDirectory{};
    in.clear();
    in.seekg(0, std::ios::end);
    const std::istream::pos_type end = in.tellg();
    if (!in || end == std::istream::pos_type(-1)) {
        error = "cannot read the file";
        return false;
    }
    const auto fileSize = static_cast<std::uint64_t>(static_cast<std::streamoff>(end));
    directory.fileSize = fileSize;
    ArchiveFile file(in, fileSize);

    std::vector<unsigned char> b;
    if (!findEndRecord(file, fileSize, directory.endRecordOffset)) {
        error = "no archive: no end-of-central-directory record in the last 65535 bytes";
        return false;
    }
    if (!file.read(directory.endRecordOffset, kEndRecordSize, b)) {
        error = "no archive: the end-of-central-directory record is cut off";
        return false;
    }
    const std::uint16_t thisDisk = getU16(&b[4]);
    const std::uint16_t directoryDisk = getU16(&b[6]);
    const std::uint16_t entriesOnDisk = getU16(&b[8]);
    const std::uint16_t totalEntries = getU16(&b[10]);
    directory.centralDirectoryOffset = getU32(&b[16]);
    if (thisDisk != 0 || directoryDisk != 0 || entriesOnDisk != totalEntries) {
        error = "the archive spans several disks, which is not supported";
        return false;
    }

    directory.firstLocalHeaderOffset = directory.centralDirectoryOffset;
    std::uint64_t position = directory.centralDirectoryOffset;
    directory.entries.reserve(totalEntries);
    for (std::size_t i = 0; i < totalEntries; ++i) {
        EntryHeader entry;
        if (!readMember(file, fileSize, i, position, entry, error))
            return false;
        directory.firstLocalHeaderOffset =
            std::min<std::uint64_t>(directory.firstLocalHeaderOffset, entry.localHeaderOffset);
        directory.entries.push_back(std::move(entry));
    }
    return true;
}

} // namespace zorpack
