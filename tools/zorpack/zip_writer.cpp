#include "zip_writer.h"

#include <zlib.h>

#include <algorithm>

namespace zorpack {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

// A raw deflate stream (no zlib header, as the launcher inflates with window bits -15).
class RawDeflater {
public:
    RawDeflater() {
        ready_ = deflateInit2(&stream_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8,
                              Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~RawDeflater() {
        if (ready_)
            deflateEnd(&stream_);
    }
    RawDeflater(const RawDeflater&) = delete;
    RawDeflater& operator=(const RawDeflater&) = delete;

    bool ready() const { return ready_; }
    z_stream& stream() { return stream_; }

private:
    z_stream stream_{};
    bool ready_ = false;
};

// The fields both headers carry, in the same order: the reader accepts an entry only when the
// two copies agree, so they are written by one piece of code.
void putSharedFields(std::vector<unsigned char>& b, const EntryHeader& h) {
    putU16(b, h.versionNeeded);
    putU16(b, h.flags);
    putU16(b, h.method);
    putU16(b, h.dosTime);
    putU16(b, h.dosDate);
    putU32(b, h.crc32);
    putU32(b, h.compressedSize);
    putU32(b, h.uncompressedSize);
    putU16(b, static_cast<std::uint16_t>(h.name.size()));
}

std::vector<unsigned char> localHeaderBytes(const EntryHeader& h) {
    std::vector<unsigned char> b;
    b.reserve(kLocalHeaderSize + h.name.size());
    putU32(b, kLocalHeaderSignature);
    putSharedFields(b, h);
    putU16(b, 0); // no extra field
    b.insert(b.end(), h.name.begin(), h.name.end());
    return b;
}

std::vector<unsigned char> centralHeaderBytes(const EntryHeader& h) {
    std::vector<unsigned char> b;
    b.reserve(kCentralHeaderSize + h.name.size());
    putU32(b, kCentralHeaderSignature);
    putU16(b, h.versionMadeBy);
    putSharedFields(b, h);
    putU16(b, 0); // extra field length
    putU16(b, 0); // comment length
    putU16(b, 0); // disk number start
    putU16(b, 0); // internal attributes
    putU32(b, h.externalAttributes);
    putU32(b, h.localHeaderOffset);
    b.insert(b.end(), h.name.begin(), h.name.end());
    return b;
}

// Reads the next piece of a member's data; a short read means the file shrank or failed.
bool readChunk(std::istream& data, std::vector<unsigned char>& buffer, std::uint64_t& remaining,
               std::size_t& got, std::string& error) {
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), remaining));
    data.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(wanted));
    got = static_cast<std::size_t>(data.gcount());
    if (got != wanted) {
        error = data.bad() ? "the file cannot be read" : "the file changed while it was packed";
        return false;
    }
    remaining -= got;
    return true;
}

// After the expected number of bytes the file must end; otherwise it grew while being packed.
bool checkAtEnd(std::istream& data, std::string& error) {
    if (data.peek() != std::char_traits<char>::eof()) {
        error = "the file changed while it was packed";
        return false;
    }
    data.clear();
    return true;
}

} // namespace

bool checkEntryCount(std::size_t count, std::string& error) {
    if (count <= kMaxEntries)
        return true;
    error = "an archive can hold at most 65535 files and folders";
    return false;
}

bool checkMemberSize(std::uint64_t size, std::string& error) {
    if (size <= kMaxMemberSize)
        return true;
    error = "files of 4 GiB or more cannot be packed";
    return false;
}

bool checkArchiveOffset(std::uint64_t offset, std::string& error) {
    if (offset <= kMaxArchiveOffset)
        return true;
    error = "the package would grow beyond 4 GiB, which the launcher cannot read";
    return false;
}

bool ZipWriter::position(std::uint64_t& offset, std::string& error) {
    const std::ostream::pos_type pos = out_.tellp();
    if (!out_ || pos == std::ostream::pos_type(-1)) {
        error = "cannot write the package file";
        return false;
    }
    offset = static_cast<std::uint64_t>(static_cast<std::streamoff>(pos));
    return true;
}

bool ZipWriter::write(const std::vector<unsigned char>& bytes, std::string& error) {
    out_.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (out_)
        return true;
    error = "cannot write the package file";
    return false;
}

bool ZipWriter::beginMember(const MemberInfo& member, EntryHeader& header, std::string& error) {
    if (finished_) {
        error = "the archive is already complete";
        return false;
    }
    if (!checkEntryCount(entries_.size() + 1, error))
        return false;
    if (member.name.empty() || member.name.size() > kMaxNameLength) {
        error = "a member name must hold 1 to 65535 bytes";
        return false;
    }
    std::uint64_t offset = 0;
    if (!position(offset, error) || !checkArchiveOffset(offset, error))
        return false;
    header = EntryHeader{};
    header.name = member.name;
    header.dosTime = member.modified.time;
    header.dosDate = member.modified.date;
    header.externalAttributes = member.attributes;
    header.localHeaderOffset = static_cast<std::uint32_t>(offset);
    return true;
}

bool ZipWriter::writeLocalHeader(const EntryHeader& header, std::string& error) {
    return write(localHeaderBytes(header), error);
}

bool ZipWriter::addFolder(const MemberInfo& member, std::string& error) {
    EntryHeader header;
    if (!beginMember(member, header, error))
        return false;
    header.versionNeeded = kVersionNeededFolder;
    header.method = kMethodStored;
    if (!writeLocalHeader(header, error))
        return false;
    entries_.push_back(std::move(header));
    return true;
}

bool ZipWriter::addFile(const MemberInfo& member, std::istream& data, std::uint64_t size,
                        bool storeOnly, std::string& error) {
    EntryHeader header;
    if (!checkMemberSize(size, error) || !beginMember(member, header, error))
        return false;
    // The header is written first to reserve its place and completed once the data is known.
    std::uint64_t dataStart = 0;
    if (!writeLocalHeader(header, error) || !position(dataStart, error))
        return false;

    bool shrunk = false;
    if (!storeOnly && size > 0 && !tryDeflate(data, size, header, shrunk, error))
        return false;
    if (!shrunk) {
        data.clear();
        if (!data.seekg(0)) {
            error = "the file cannot be read a second time";
            return false;
        }
        out_.seekp(static_cast<std::streamoff>(dataStart));
        if (!copyStored(data, size, header, error))
            return false;
    }

    std::uint64_t dataEnd = 0;
    if (!position(dataEnd, error) || !checkArchiveOffset(dataEnd, error))
        return false;
    out_.seekp(static_cast<std::streamoff>(header.localHeaderOffset));
    if (!writeLocalHeader(header, error))
        return false;
    out_.seekp(static_cast<std::streamoff>(dataEnd));
    if (!out_) {
        error = "cannot write the package file";
        return false;
    }
    entries_.push_back(std::move(header));
    return true;
}

// Deflates the data after the local header. Output is written only while it stays smaller than
// the data itself; once it would not, deflating stops with `shrunk` false and the caller stores
// the data over what was written, which is shorter than the stored data and so fully replaced.
bool ZipWriter::tryDeflate(std::istream& data, std::uint64_t size, EntryHeader& header,
                           bool& shrunk, std::string& error) {
    shrunk = false;
    RawDeflater deflater;
    if (!deflater.ready()) {
        error = "zlib cannot start a deflate stream";
        return false;
    }
    z_stream& z = deflater.stream();
    std::vector<unsigned char> input(kChunkSize);
    std::vector<unsigned char> output(kChunkSize);
    std::uint64_t remaining = size;
    std::uint64_t written = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (z.avail_in == 0 && remaining > 0) {
            std::size_t got = 0;
            if (!readChunk(data, input, remaining, got, error))
                return false;
            crc = crc32(crc, input.data(), static_cast<uInt>(got));
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(got);
        }
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(output.size());
        rc = deflate(&z, remaining == 0 ? Z_FINISH : Z_NO_FLUSH);
        if (rc == Z_STREAM_ERROR) {
            error = "zlib failed while deflating";
            return false;
        }
        const std::size_t produced = output.size() - z.avail_out;
        if (written + produced >= size)
            return true; // deflate does not shrink this member
        out_.write(reinterpret_cast<const char*>(output.data()),
                   static_cast<std::streamsize>(produced));
        if (!out_) {
            error = "cannot write the package file";
            return false;
        }
        written += produced;
    }
    if (!checkAtEnd(data, error))
        return false;
    shrunk = true;
    header.versionNeeded = kVersionNeededDeflated;
    header.method = kMethodDeflated;
    header.crc32 = static_cast<std::uint32_t>(crc);
    header.compressedSize = static_cast<std::uint32_t>(written);
    header.uncompressedSize = static_cast<std::uint32_t>(size);
    return true;
}

bool ZipWriter::copyStored(std::istream& data, std::uint64_t size, EntryHeader& header,
                           std::string& error) {
    std::vector<unsigned char> buffer(kChunkSize);
    std::uint64_t remaining = size;
    uLong crc = crc32(0L, Z_NULL, 0);
    while (remaining > 0) {
        std::size_t got = 0;
        if (!readChunk(data, buffer, remaining, got, error))
            return false;
        crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
        out_.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(got));
        if (!out_) {
            error = "cannot write the package file";
            return false;
        }
    }
    if (!checkAtEnd(data, error))
        return false;
    header.versionNeeded = kVersionNeededStored;
    header.method = kMethodStored;
    header.crc32 = static_cast<std::uint32_t>(crc);
    header.compressedSize = static_cast<std::uint32_t>(size);
    header.uncompressedSize = static_cast<std::uint32_t>(size);
    return true;
}

bool ZipWriter::finish(std::string& error) {
    if (finished_) {
        error = "the archive is already complete";
        return false;
    }
    std::uint64_t directoryStart = 0;
    if (!position(directoryStart, error) || !checkArchiveOffset(directoryStart, error))
        return false;
    for (const EntryHeader& header : entries_)
        if (!write(centralHeaderBytes(header), error))
            return false;
    std::uint64_t directoryEnd = 0;
    if (!position(directoryEnd, error))
        return false;

    std::vector<unsigned char> end;
    putU32(end, kEndRecordSignature);
    putU16(end, 0); // this disk
    putU16(end, 0); // disk holding the central directory
    putU16(end, static_cast<std::uint16_t>(entries_.size()));
    putU16(end, static_cast<std::uint16_t>(entries_.size()));
    putU32(end, static_cast<std::uint32_t>(directoryEnd - directoryStart));
    putU32(end, static_cast<std::uint32_t>(directoryStart));
    putU16(end, 0); // no comment, so the end record closes the file
    std::uint64_t fileEnd = 0;
    if (!write(end, error) || !position(fileEnd, error) || !checkArchiveOffset(fileEnd, error))
        return false;
    out_.flush();
    if (!out_) {
        error = "cannot write the package file";
        return false;
    }
    finished_ = true;
    return true;
}

} // namespace zorpack
