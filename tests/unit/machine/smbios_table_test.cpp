// Finding structures in staged SMBIOS tables, including hostile ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "fake_machine_facts.h"
#include "smbios_table.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A structure: formatted area of `length` bytes (type, length, handle, then `extra`), followed
// by its string set.
Bytes Structure(std::uint8_t type, Bytes extra = {}, const std::string& strings = "") {
    Bytes s;
    s.push_back(type);
    s.push_back(static_cast<std::uint8_t>(4 + extra.size()));
    s.push_back(0x00);
    s.push_back(0x01);
    for (std::uint8_t b : extra)
        s.push_back(b);
    // Each string ends with a zero byte and the set with one more; an empty set is two zeros.
    for (char c : strings)
        s.push_back(static_cast<std::uint8_t>(c));
    s.push_back(0);
    s.push_back(0);
    return s;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        for (std::uint8_t b : p)
            all.push_back(b);
    }
    return all;
}

// Offset of the structure found, or -1.
long Find(const Bytes& table, std::uint8_t type, int* tpmState = nullptr) {
    FakeMachineFacts facts;
    facts.table = table;
    SmbiosTable smbios(facts);
    const std::uint8_t* found = smbios.FindStructure(type);
    if (tpmState)
        *tpmState = GetTpmState(found);
    return found ? static_cast<long>(found - smbios.Data()) : -1;
}

const Bytes kBios = Structure(0, {1, 2, 3, 4}, std::string("Vendor\0Version", 14));
const Bytes kSystem = Structure(1, {1}, "Maker");
const Bytes kEnd = Structure(127);

} // namespace

TEST(SmbiosTable, FindsTheTpmStructureAndItsState) {
    const Bytes table = Join({kBios, kSystem, Structure(224, {0x0D, 0xFF}, "TPM"), kEnd});
    int state = -1;
    EXPECT_EQ(Find(table, 224, &state), static_cast<long>(kBios.size() + kSystem.size()));
    EXPECT_EQ(state, 5);
    EXPECT_EQ(Find(table, 0), 0);
    EXPECT_EQ(Find(table, 1), static_cast<long>(kBios.size()));
}

TEST(SmbiosTable, TpmStateTable) {
    for (int b = 0; b < 256; b += 17) {
        int state = -1;
        Find(Join({Structure(224, {static_cast<std::uint8_t>(b)}), kEnd}), 224, &state);
        EXPECT_EQ(state, b & 7) << b;
    }
    // No structure, or one whose formatted area stops before offset 4, gives 0.
    EXPECT_EQ(GetTpmState(nullptr), 0);
    int state = -1;
    EXPECT_EQ(Find(Join({Structure(224), Bytes{7}}), 224, &state), 0);
    EXPECT_EQ(state, 0);
}

TEST(SmbiosTable, GivesNothingWhereItShouldNot) {
    struct Case {
        const char* name;
        Bytes table;
        std::uint8_t type;
    };
    const Case cases[] = {
        {"no type 224", Join({kBios, kSystem, kEnd}), 224},
        {"type 127 first", Join({kEnd, Structure(224, {5})}), 224},
        {"type 224 after the end", Join({kBios, kEnd, Structure(224, {5})}), 224},
        {"end structure itself", Join({kBios, kEnd}), 127},
        {"empty table", {}, 224},
    };
    for (const Case& c : cases) {
        int state = -1;
        EXPECT_EQ(Find(c.table, c.type, &state), -1) << c.name;
        EXPECT_EQ(state, 0) << c.name;
    }
}

TEST(SmbiosTable, MalformedTablesEndCleanly) {
    Bytes runsPast = Join({kBios, Structure(224, {5})});
    runsPast[kBios.size() + 1] = 60; // length beyond the table
    Bytes lengthTooSmall = Join({kBios, Structure(224, {5})});
    lengthTooSmall[1] = 2; // first structure claims less than its header
    Bytes zeroLength = Join({kBios, Structure(224, {5})});
    zeroLength[1] = 0;
    Bytes noDoubleZero = {0, 4, 0, 0, 'a', 0, 'b'};
    Bytes lastPairCut = Join({kBios, Structure(224, {5})});
    lastPairCut.resize(kBios.size() - 1); // string set of the first structure never ends
    lastPairCut.insert(lastPairCut.end(), {'x', 0, 'y'});

    struct Case {
        const char* name;
        Bytes table;
    };
    const Case cases[] = {
        {"length beyond the table", runsPast},
        {"length below the header", lengthTooSmall},
        {"length zero", zeroLength},
        {"string set without double zero", noDoubleZero},
        {"string set cut before the next structure", lastPairCut},
        {"one byte", {224}},
        {"two bytes", {224, 5}},
        {"three bytes", {224, 5, 0}},
        {"header only after a structure", Join({kBios, Bytes{224, 5, 0}})},
    };
    for (const Case& c : cases) {
        FakeMachineFacts facts;
        facts.table = c.table;
        SmbiosTable smbios(facts);
        EXPECT_EQ(smbios.FindStructure(224), nullptr) << c.name;
        EXPECT_EQ(GetTpmState(smbios.FindStructure(224)), 0) << c.name;
    }
}

TEST(SmbiosTable, StructuresBeforeAMalformedOneAreStillFound) {
    Bytes table = Join({kBios, Structure(224, {6}), Bytes{1, 200, 0}});
    int state = -1;
    EXPECT_EQ(Find(table, 224, &state), static_cast<long>(kBios.size()));
    EXPECT_EQ(state, 6);
    EXPECT_EQ(Find(table, 1), -1);
}

// Random and mutated tables: every structure returned lies inside the table with its whole
// formatted area, whatever the bytes say.
TEST(SmbiosTable, FuzzedTablesNeverLeadOutside) {
    std::mt19937 random(20240611u);
    const Bytes valid = Join({kBios, kSystem, Structure(224, {0x0D}, "TPM"), kEnd});
    for (int round = 0; round < 20000; ++round) {
        Bytes table;
        if (round % 2 == 0) {
            table = valid;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                table[random() % table.size()] = static_cast<std::uint8_t>(random());
            }
            table.resize(random() % (table.size() + 1));
        } else {
            table.resize(random() % 64);
            for (std::uint8_t& b : table)
                b = static_cast<std::uint8_t>(random() % 8 == 0 ? 0 : random());
        }
        FakeMachineFacts facts;
        facts.table = table;
        SmbiosTable smbios(facts);
        for (int type : {0, 1, 224, static_cast<int>(random() % 256)}) {
            const std::uint8_t* found = smbios.FindStructure(static_cast<std::uint8_t>(type));
            if (!found)
                continue;
            ASSERT_EQ(smbios.Size(), table.size());
            ASSERT_GE(found, smbios.Data()) << round;
            const std::size_t offset = static_cast<std::size_t>(found - smbios.Data());
            ASSERT_LT(offset + 3, table.size()) << round;
            ASSERT_GE(found[1], 4) << round;
            ASSERT_LE(offset + found[1], table.size()) << round;
            ASSERT_EQ(found[0], type) << round;
            const int state = GetTpmState(found);
            ASSERT_GE(state, 0);
            ASSERT_LE(state, 7);
        }
    }
}
