// The machine facts the launcher's checks read through WMI: the raw SMBIOS table and the
// manufacturer names of the computer system and the BIOS. The checks take this interface so
// that their logic runs the same over the real machine and over staged facts.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class MachineFacts {
public:
    virtual ~MachineFacts() = default;

    // The SMBIOS structure table as the platform reports it; empty when it cannot be read.
    virtual std::vector<std::uint8_t> ReadSmbiosTable() = 0;
    // Reads the computer system's manufacturer into `text` (capacity `units`, terminated).
    // False when the read failed.
    virtual bool ReadComputerSystemManufacturer(wchar_t* text, std::size_t units) = 0;
    // Reads the BIOS manufacturer into `text` (capacity `units`, terminated). False when the
    // read failed.
    virtual bool ReadBiosManufacturer(wchar_t* text, std::size_t units) = 0;
};

// Reads the facts from WMI: "MSSmBios_RawSMBiosTables" in "ROOT\WMI", "Win32_ComputerSystem"
// and "Win32_BIOS" in "ROOT\CIMV2". Each read uses its own query object.
class WmiMachineFacts : public MachineFacts {
public:
    // Largest table accepted; a declared size beyond it is treated as unreadable rather than
    // allocated. Real tables are a few kilobytes.
    static constexpr std::int32_t kMaxSmbiosBytes = 4 * 1024 * 1024;

    std::vector<std::uint8_t> ReadSmbiosTable() override;
    bool ReadComputerSystemManufacturer(wchar_t* text, std::size_t units) override;
    bool ReadBiosManufacturer(wchar_t* text, std::size_t units) override;
};

// The process's facts over the real machine.
MachineFacts& ProductionMachineFacts();
