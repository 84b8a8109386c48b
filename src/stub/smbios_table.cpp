#include "smbios_table.h"

namespace {

// Type, length and a 2-byte handle open every structure.
constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kTpmStateOffset = 4;

} // namespace

SmbiosTable::SmbiosTable() : SmbiosTable(ProductionMachineFacts()) {}

SmbiosTable::SmbiosTable(MachineFacts& facts) : bytes_(facts.ReadSmbiosTable()) {}

const std::uint8_t* SmbiosTable::FindStructure(std::uint8_t type) const {
    const std::uint8_t* table = bytes_.data();
    const std::size_t size = bytes_.size();
    std::size_t pos = 0;
    while (pos < size) {
        if (size - pos < kHeaderBytes)
            return nullptr;
        const std::uint8_t structureType = table[pos];
        const std::size_t length = table[pos + 1];
        if (structureType == kEndOfTable)
            return nullptr;
        if (length < kHeaderBytes || length > size - pos)
            return nullptr;
        if (structureType == type)
            return table + pos;

        // Skip the formatted area, then the string set up to and past its pair of zero bytes.
        pos += length;
        while (pos + 1 < size && !(table[pos] == 0 && table[pos + 1] == 0))
            ++pos;
        if (pos + 1 >= size)
            return nullptr;
        pos += 2;
    }
    return nullptr;
}

int GetTpmState(const std::uint8_t* structure) {
    if (!structure || structure[1] <= kTpmStateOffset)
        return 0;
    return structure[kTpmStateOffset] & 0x07;
}
