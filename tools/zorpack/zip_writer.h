// Writes the archive that follows the launcher's program image: each member's local header with
// its sizes and CRC-32 (no data descriptors), the data stored or raw-deflated, then the central
// directory and the end record. Offsets are positions in the output stream, which holds the
// program image before the first member, so they count from the start of the file.
#pragma once
#include "dos_time.h"
#include "zip_format.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace zorpack {

struct MemberInfo {
    std::string name; // code page 1252; folders end with "/"
    DosTimestamp modified;
    std::uint32_t attributes = 0;
};

// Refusals for the limits of the 16-bit and 32-bit record fields; each returns false and a
// message when the value cannot be written.
bool checkEntryCount(std::size_t count, std::string& error);
bool checkMemberSize(std::uint64_t size, std::string& error);
bool checkArchiveOffset(std::uint64_t offset, std::string& error);

class ZipWriter {
public:
    // `out` must allow seeking back: each local header is completed once its data is written.
    explicit ZipWriter(std::ostream& out) : out_(out) {}

    bool addFolder(const MemberInfo& member, std::string& error);

    // Reads exactly `size` bytes from `data`, which must allow seeking back to its start (a
    // member that deflate does not shrink is read a second time and stored). With
    // `storeOnly` the data is always stored.
    bool addFile(const MemberInfo& member, std::istream& data, std::uint64_t size, bool storeOnly,
                 std::string& error);

    // Writes the central directory and the end record; the archive ends where the stream is
    // then positioned.
    bool finish(std::string& error);

    const std::vector<EntryHeader>& entries() const { return entries_; }

private:
    bool beginMember(const MemberInfo& member, EntryHeader& header, std::string& error);
    bool writeLocalHeader(const EntryHeader& header, std::string& error);
    bool endMember(EntryHeader& header, std::uint64_t dataEnd, std::string& error);
    bool tryDeflate(std::istream& data, std::uint64_t size, EntryHeader& header, bool& shrunk,
                    std::string& error);
    bool copyStored(std::istream& data, std::uint64_t size, EntryHeader& header,
                    std::string& error);
    bool position(std::uint64_t& offset, std::string& error);
    bool write(const std::vector<unsigned char>& bytes, std::string& error);

    std::ostream& out_;
    std::vector<EntryHeader> entries_;
    bool finished_ = false;
};

} // namespace zorpack
