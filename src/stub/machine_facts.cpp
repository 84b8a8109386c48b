#include "machine_facts.h"

#include "wmi_query.h"

namespace {

bool ReadTextProperty(const wchar_t* className, wchar_t* text, std::size_t units) {
    if (!text || units == 0)
        return false;
    text[0] = L'\0';
    CWmiQuery query;
    if (!query.Connect(L"ROOT\\CIMV2") || !query.ExecQuery(className))
        return false;
    const bool read = query.GetPropertyValue(L"Manufacturer", text, units * sizeof(wchar_t)) == 1;
    if (!read)
        text[0] = L'\0';
    return read;
}

} // namespace

std::vector<std::uint8_t> WmiMachineFacts::ReadSmbiosTable() {
    CWmiQuery query;
    if (!query.Connect(L"ROOT\\WMI") || !query.ExecQuery(L"MSSmBios_RawSMBiosTables"))
        return {};

    std::int32_t declared = 0;
    std::size_t sizeBytes = 0;
    if (!query.GetPropertyValue(L"Size", &declared, sizeof declared, &sizeBytes) ||
        sizeBytes != sizeof declared || declared <= 0 || declared > kMaxSmbiosBytes) {
        return {};
    }
    // The declared size bounds the copy; the table is what the array actually held, so a
    // size larger than the array never exposes bytes that were not reported.
    std::vector<std::uint8_t> table(static_cast<std::size_t>(declared));
    std::size_t copied = 0;
    if (!query.GetPropertyValue(L"SMBiosData", table.data(), table.size(), &copied))
        return {};
    table.resize(copied);
    return table;
}

bool WmiMachineFacts::ReadComputerSystemManufacturer(wchar_t* text, std::size_t units) {
    return ReadTextProperty(L"Win32_ComputerSystem", text, units);
}

bool WmiMachineFacts::ReadBiosManufacturer(wchar_t* text, std::size_t units) {
    return ReadTextProperty(L"Win32_BIOS", text, units);
}

MachineFacts& ProductionMachineFacts() {
    static WmiMachineFacts facts;
    return facts;
}
