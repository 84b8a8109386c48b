// Record layouts and limits of the archive that the launcher carries after its program image.
// The launcher reads plain 32-bit ZIP only (no ZIP64, no data descriptors, stored or deflated
// members, one disk), so these limits are what the package builder must stay within.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndRecordSignature = 0x06054B50;

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndRecordSize = 22;

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflated = 8;

// Version 2.0 on an MS-DOS host: the external attributes are Windows attribute bits, which the
// launcher hands unchanged to SetFileAttributes.
constexpr std::uint16_t kVersionMadeBy = 20;
constexpr std::uint16_t kVersionNeededStored = 10;
constexpr std::uint16_t kVersionNeededDeflated = 20;
constexpr std::uint16_t kVersionNeededFolder = 20;

constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;

// The 16-bit entry count and the 32-bit sizes and offsets of the records.
constexpr std::size_t kMaxEntries = 0xFFFF;
constexpr std::uint64_t kMaxMemberSize = 0xFFFFFFFFull;
constexpr std::uint64_t kMaxArchiveOffset = 0xFFFFFFFFull;
constexpr std::size_t kMaxNameLength = 0xFFFF;
// The launcher looks for the end record only in this many bytes at the end of its file.
constexpr std::uint64_t kEndRecordSearchLimit = 65535;

// One member as both headers describe it. Names are bytes in the Windows code page 1252.
struct EntryHeader {
    std::string name;
    std::uint16_t versionMadeBy = kVersionMadeBy;
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t dosTime = 0;
    std::uint16_t dosDate = 0;
    std::uint32_t crc32 = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t externalAttributes = 0;
    std::uint32_t localHeaderOffset = 0;
};

// Little-endian field writers for building records in memory.
inline void putU16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8));
}
inline void putU32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>((v >> shift) & 0xFF));
}
inline std::uint16_t getU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t getU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace zorpack
