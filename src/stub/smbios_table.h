// The machine's SMBIOS structure table and the structures in it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "machine_facts.h"

class SmbiosTable {
public:
    // Structure type that marks the end of the table.
    static constexpr std::uint8_t kEndOfTable = 127;
    // Structure type that carries the Trusted Platform Module state.
    static constexpr std::uint8_t kTpmStructure = 224;

    // Reads the table of this machine; an unreadable table is empty.
    SmbiosTable();
    explicit SmbiosTable(MachineFacts& facts);

    // The first structure of `type`, or null. The walk stops at the end-of-table structure
    // and at anything malformed (a formatted area shorter than its 4-byte header or running
    // past the table, a string set without its closing pair of zero bytes): whatever the
    // bytes say, nothing outside the table is read. A returned structure's whole formatted
    // area (its length byte, at offset 1) lies inside the table.
    const std::uint8_t* FindStructure(std::uint8_t type) const;

    const std::uint8_t* Data() const { return bytes_.data(); }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

// The TPM state 0..7 from a structure found by FindStructure: the low three bits of the byte
// at offset 4. 0 when there is no structure or its formatted area does not reach offset 4.
int GetTpmState(const std::uint8_t* structure);
