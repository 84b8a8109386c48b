// Recognising virtualized guests from staged manufacturer names.
#include <gtest/gtest.h>

#include <string>

#include "fake_machine_facts.h"
#include "manufacturer_info.h"

TEST(ManufacturerInfo, RecognisesHypervisors) {
    struct Case {
        const wchar_t* computerSystem;
        const wchar_t* bios;
        bool virtualGuest;
        int kind;
    };
    const Case cases[] = {
        {L"Microsoft Corporation", L"American Megatrends Inc.", true, 0},
        {L"microsoft corporation  \r\n", L"", true, 0},
        {L"VMware, Inc.", L"Phoenix Technologies LTD", true, 1},
        {L"VMWARE", L"", true, 1},
        {L"vmware7,1 guest", L"", true, 1},
        {L"Xen", L"Xen", true, 2},
        {L"HVM domU", L"xen", true, 2},
        // The computer system rows come first.
        {L"VMware, Inc.", L"Xen", true, 1},
        {L"Dell Inc.", L"Dell Inc.", false, ManufacturerInfo::kNoHypervisor},
        {L"The Wine Project", L"The Wine Project", false, ManufacturerInfo::kNoHypervisor},
        {L"Microsoft", L"", false, ManufacturerInfo::kNoHypervisor},
        {L"", L"", false, ManufacturerInfo::kNoHypervisor},
        // Xen is only looked for in the BIOS manufacturer.
        {L"Xen", L"Award Software", false, ManufacturerInfo::kNoHypervisor},
    };
    for (const Case& c : cases) {
        FakeMachineFacts facts;
        facts.computerSystem = c.computerSystem;
        facts.bios = c.bios;
        ManufacturerInfo info(facts);
        EXPECT_EQ(info.IsVirtualGuest(), c.virtualGuest) << c.computerSystem << " / " << c.bios;
        EXPECT_EQ(info.HypervisorKind(), c.kind) << c.computerSystem << " / " << c.bios;
        EXPECT_EQ(facts.computerSystemReads, 1);
        EXPECT_EQ(facts.biosReads, 1);
    }
}

TEST(ManufacturerInfo, FailedComputerSystemReadSkipsTheBios) {
    FakeMachineFacts facts;
    facts.computerSystemFails = true;
    facts.bios = L"Xen";
    ManufacturerInfo info(facts);
    EXPECT_EQ(facts.biosReads, 0);
    EXPECT_STREQ(info.ComputerSystemManufacturer(), L"");
    EXPECT_STREQ(info.BiosManufacturer(), L"");
    EXPECT_FALSE(info.IsVirtualGuest());
    EXPECT_EQ(info.HypervisorKind(), ManufacturerInfo::kNoHypervisor);
}

TEST(ManufacturerInfo, FailedBiosReadLeavesItEmpty) {
    FakeMachineFacts facts;
    facts.computerSystem = L"Contoso";
    facts.biosFails = true;
    ManufacturerInfo info(facts);
    EXPECT_STREQ(info.ComputerSystemManufacturer(), L"Contoso");
    EXPECT_STREQ(info.BiosManufacturer(), L"");
    EXPECT_FALSE(info.IsVirtualGuest());
}

TEST(ManufacturerInfo, LongNamesAreCutToTheField) {
    FakeMachineFacts facts;
    facts.computerSystem = std::wstring(600, L'a') + L"VMware";
    ManufacturerInfo info(facts);
    EXPECT_EQ(std::wstring(info.ComputerSystemManufacturer()),
              std::wstring(ManufacturerInfo::kTextUnits - 1, L'a'));
    EXPECT_FALSE(info.IsVirtualGuest());
}
