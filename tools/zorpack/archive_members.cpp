#include "archive_members.h"

#include <zlib.h>

namespace zorpack {

bool ArchiveMembers::open(const std::filesystem::path& package, std::string& error) {
    file_.close();
    file_.clear();
    file_.open(package, std::ios::binary);
    if (!file_) {
        error = "cannot be opened";
        return false;
    }
    if (!readArchiveDirectory(file_, directory_, error))
        return false;
    names_.clear();
    for (const EntryHeader& entry : directory_.entries)
        names_.push_back(entry.name);
    return true;
}

std::uint64_t ArchiveMembers::size(std::size_t index) const {
    return index < directory_.entries.size() ? directory_.entries[index].uncompressedSize : 0;
}

bool ArchiveMembers::read(std::size_t index, std::vector<unsigned char>& bytes,
                          std::string& error) const {
    bytes.clear();
    if (index >= directory_.entries.size()) {
        error = "no such member";
        return false;
    }
    const EntryHeader& entry = directory_.entries[index];
    if (entry.uncompressedSize > kMaxReadableMemberBytes) {
        error = "larger than the launcher reads into memory (64 MiB)";
        return false;
    }
    // Deflate never grows data by more than a few bytes per 16 KiB block.
    if (entry.compressedSize > entry.uncompressedSize + entry.uncompressedSize / 1024 + 1024) {
        error = "its compressed size does not fit its size";
        return false;
    }
    // The directory reader has checked that the local header and the data lie in the file;
    // the data starts after the local header's name and extra field.
    unsigned char local[kLocalHeaderSize];
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(entry.localHeaderOffset));
    file_.read(reinterpret_cast<char*>(local), sizeof local);
    if (file_.gcount() != static_cast<std::streamsize>(sizeof local)) {
        error = "its local header cannot be read";
        return false;
    }
    const std::uint64_t dataOffset = std::uint64_t{entry.localHeaderOffset} + kLocalHeaderSize +
                                     getU16(&local[26]) + getU16(&local[28]);
    std::vector<unsigned char> packed(entry.compressedSize);
    file_.seekg(static_cast<std::streamoff>(dataOffset));
    file_.read(reinterpret_cast<char*>(packed.data()), static_cast<std::streamsize>(packed.size()));
    if (file_.gcount() != static_cast<std::streamsize>(packed.size())) {
        error = "its data cannot be read";
        return false;
    }

    bytes.resize(entry.uncompressedSize);
    if (entry.method == kMethodStored) {
        if (entry.compressedSize != entry.uncompressedSize) {
            error = "a stored member whose sizes differ";
            return false;
        }
        bytes = std::move(packed);
    } else {
        z_stream z{};
        if (inflateInit2(&z, -15) != Z_OK) {
            error = "zlib cannot start an inflate stream";
            return false;
        }
        z.next_in = packed.data();
        z.avail_in = static_cast<uInt>(packed.size());
        // One spare byte: a stream that would produce more than the declared size fills it.
        bytes.resize(bytes.size() + 1);
        z.next_out = bytes.data();
        z.avail_out = static_cast<uInt>(bytes.size());
        const int rc = inflate(&z, Z_FINISH);
        const uLong produced = z.total_out;
        inflateEnd(&z);
        if (rc != Z_STREAM_END || produced != entry.uncompressedSize) {
            error = "its compressed data is damaged";
            bytes.clear();
            return false;
        }
        bytes.resize(entry.uncompressedSize);
    }
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(bytes.size()));
    if (static_cast<std::uint32_t>(crc) != entry.crc32) {
        error = "its CRC-32 does not match its data";
        bytes.clear();
        return false;
    }
    return true;
}

} // namespace zorpack
