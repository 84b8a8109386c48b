#include "manufacturer_info.h"

#include <cwchar>

#include "text_match.h"

const HypervisorSignature kHypervisorSignatures[3] = {
    {ManufacturerSource::ComputerSystem, L"Microsoft Corporation", 0},
    {ManufacturerSource::ComputerSystem, L"VMWare", 1},
    {ManufacturerSource::Bios, L"Xen", 2},
};

namespace {

// Copies `source` into `target` (capacity ManufacturerInfo::kTextUnits), cut to fit.
void CopyText(wchar_t* target, const wchar_t* source) {
    std::wcsncpy(target, source, ManufacturerInfo::kTextUnits - 1);
    target[ManufacturerInfo::kTextUnits - 1] = L'\0';
}

} // namespace

ManufacturerInfo::ManufacturerInfo() : ManufacturerInfo(ProductionMachineFacts()) {}

ManufacturerInfo::ManufacturerInfo(MachineFacts& facts) {
    if (!facts.ReadComputerSystemManufacturer(computerSystem_, kTextUnits)) {
        computerSystem_[0] = L'\0';
        return;
    }
    // The facts promise a terminated text; make sure of it whatever they wrote.
    computerSystem_[kTextUnits - 1] = L'\0';
    if (!facts.ReadBiosManufacturer(bios_, kTextUnits))
        bios_[0] = L'\0';
    bios_[kTextUnits - 1] = L'\0';
}

bool ManufacturerInfo::IsVirtualGuest() {
    for (const HypervisorSignature& row : kHypervisorSignatures) {
        wchar_t text[kTextUnits];
        wchar_t signature[kTextUnits];
        CopyText(text, row.source == ManufacturerSource::Bios ? bios_ : computerSystem_);
        CopyText(signature, row.signature);
        zor::TrimTrailingWhitespace(text);
        zor::TrimTrailingWhitespace(signature);
        if (zor::FindSubstringNoCase(text, signature) >= 0) {
            kind_ = row.kind;
            return true;
        }
    }
    return false;
}
