// The checks over the real machine facts of the test system: an empty SMBIOS table (the
// platform reports none here), the platform's manufacturer name, and no virtualized guest.
#include <gtest/gtest.h>

#include "manufacturer_info.h"
#include "smbios_table.h"

TEST(ProductionMachineFacts, SmbiosTableOfThisMachine) {
    SmbiosTable table;
    EXPECT_EQ(table.Size(), 0u);
    EXPECT_EQ(table.FindStructure(SmbiosTable::kTpmStructure), nullptr);
    EXPECT_EQ(GetTpmState(table.FindStructure(SmbiosTable::kTpmStructure)), 0);
}

TEST(ProductionMachineFacts, ManufacturersOfThisMachine) {
    ManufacturerInfo info;
    EXPECT_STREQ(info.ComputerSystemManufacturer(), L"The Wine Project");
    EXPECT_STREQ(info.BiosManufacturer(), L"The Wine Project");
    EXPECT_FALSE(info.IsVirtualGuest());
    EXPECT_EQ(info.HypervisorKind(), ManufacturerInfo::kNoHypervisor);
}
