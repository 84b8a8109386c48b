// The fixed parts of the three ZIP records the reader uses, decoded from little-endian bytes.
// All 16-bit fields are widened to 32 bits.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vozoru {

constexpr uint32_t kEndRecordSignature = 0x06054B50;
constexpr uint32_t kCentralRecordSignature = 0x02014B50;
constexpr uint32_t kLocalHeaderSignature = 0x04034B50;

constexpr uint32_t kEndRecordSize = 22;
constexpr uint32_t kCentralRecordFixedSize = 46;
constexpr uint32_t kLocalHeaderFixedSize = 30;

// The end record must start within this many bytes of the end of the file.
constexpr uint32_t kEndRecordSearchLimit = 65535;

inline uint32_t LoadLe16(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}
inline uint32_t LoadLe32(const unsigned char* p) {
    return LoadLe16(p) | (LoadLe16(p + 2) << 16);
}

struct EndRecord {
    uint32_t signature;
    uint32_t diskNumber;
    uint32_t centralDirectoryDisk;
    uint32_t entriesOnDisk;
    uint32_t totalEntries;
    uint32_t centralDirectorySize;
    uint32_t centralDirectoryOffset;
    uint32_t commentLength;
};

struct CentralRecord {
    uint32_t signature;
    uint32_t versionMadeBy;
    uint32_t versionNeeded;
    uint32_t flags;
    uint32_t method;
    uint32_t dosTime;
    uint32_t dosDate;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint32_t nameLength;
    uint32_t extraLength;
    uint32_t commentLength;
    uint32_t diskNumberStart;
    uint32_t internalAttributes;
    uint32_t externalAttributes;
    uint32_t localHeaderOffset;
};

struct LocalHeader {
    uint32_t signature;
    uint32_t versionNeeded;
    uint32_t flags;
    uint32_t method;
    uint32_t dosTime;
    uint32_t dosDate;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint32_t nameLength;
    uint32_t extraLength;
};

// Each decoder reads exactly the fixed size of its record from p.
EndRecord DecodeEndRecord(const unsigned char* p);
CentralRecord DecodeCentralRecord(const unsigned char* p);
LocalHeader DecodeLocalHeader(const unsigned char* p);

// Finds the last end-record signature that lies completely inside tail[0, length) and stores
// its position. Scanning from the end means the record nearest the end of the file wins.
bool FindLastEndSignature(const unsigned char* tail, size_t length, size_t* position);

} // namespace vozoru
