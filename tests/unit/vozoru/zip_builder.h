// A small ZIP writer for tests and the benchmark: builds archives in memory with byte-level
// control, and records where each record starts so tests can damage chosen fields.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ziptest {

struct ZipMember {
    std::string name;
    std::string data;
    bool deflate = false;
    // Written as the method in both headers when set; the data is then stored as given.
    int methodOverride = -1;
    // Sizes and CRC go to a data descriptor after the data (flag bit 3, zeros locally).
    bool dataDescriptor = false;
    uint16_t dosTime = 0x6A2F;          // 13:17:30
    uint16_t dosDate = 0x5A8F;          // 2025-04-15
    uint32_t externalAttributes = 0x20; // archive
};

struct ZipLayout {
    std::vector<unsigned char> leading;  // program bytes before the archive
    std::vector<unsigned char> trailing; // signature-like bytes after it
    std::string comment;
};

struct ZipImage {
    std::vector<unsigned char> bytes;
    std::vector<size_t> localHeaders;   // offset of each local header in bytes
    std::vector<size_t> centralRecords; // offset of each central record in bytes
    size_t endRecord = 0;

    void Put16(size_t at, uint16_t value);
    void Put32(size_t at, uint32_t value);
    uint32_t Get32(size_t at) const;
};

// Raw deflate (no zlib header), as stored in ZIP members.
std::string DeflateRaw(const std::string& data);
uint32_t Crc32Of(const std::string& data);

ZipImage BuildZip(const std::vector<ZipMember>& members, const ZipLayout& layout = {});

// Bytes that never contain the end-record signature, for padding around archives.
std::vector<unsigned char> FillerBytes(size_t count, uint32_t seed);

} // namespace ziptest
