// The manufacturer names of the computer system and its BIOS, and whether they show that the
// launcher runs in a virtualized guest.
#pragma once
#include <cstddef>

#include "machine_facts.h"

enum class ManufacturerSource { ComputerSystem, Bios };

// One known hypervisor: the text it leaves in a manufacturer name.
struct HypervisorSignature {
    ManufacturerSource source;
    const wchar_t* signature;
    int kind;
};

// Searched in this order: Hyper-V (0), VMware (1), Xen (2).
extern const HypervisorSignature kHypervisorSignatures[3];

class ManufacturerInfo {
public:
    static constexpr std::size_t kTextUnits = 256;
    // Kind while no signature has matched.
    static constexpr int kNoHypervisor = -1;

    // Reads the computer system's manufacturer and, only when that read succeeded, the BIOS
    // manufacturer. A text whose read failed (or was not made) is empty.
    ManufacturerInfo();
    explicit ManufacturerInfo(MachineFacts& facts);

    // True when a signature occurs in its source text ignoring case and trailing white space;
    // the matching row's kind is kept.
    bool IsVirtualGuest();
    int HypervisorKind() const { return kind_; }

    const wchar_t* ComputerSystemManufacturer() const { return computerSystem_; }
    const wchar_t* BiosManufacturer() const { return bios_; }

private:
    wchar_t computerSystem_[kTextUnits] = {};
    wchar_t bios_[kTextUnits] = {};
    int kind_ = kNoHypervisor;
};
