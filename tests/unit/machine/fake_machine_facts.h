// Staged machine facts: a given SMBIOS table and manufacturer names, with a record of which
// reads were asked for.
#pragma once
#include <cwchar>
#include <string>
#include <vector>

#include "machine_facts.h"

class FakeMachineFacts : public MachineFacts {
public:
    std::vector<std::uint8_t> table;
    std::wstring computerSystem;
    std::wstring bios;
    bool computerSystemFails = false;
    bool biosFails = false;
    int computerSystemReads = 0;
    int biosReads = 0;

    std::vector<std::uint8_t> ReadSmbiosTable() override { return table; }
    bool ReadComputerSystemManufacturer(wchar_t* text, std::size_t units) override {
        ++computerSystemReads;
        return Answer(computerSystem, computerSystemFails, text, units);
    }
    bool ReadBiosManufacturer(wchar_t* text, std::size_t units) override {
        ++biosReads;
        return Answer(bios, biosFails, text, units);
    }

private:
    // A failing read leaves some bytes behind, as a half-done read would.
    static bool Answer(const std::wstring& value, bool fails, wchar_t* text, std::size_t units) {
        std::wcsncpy(text, fails ? L"partial" : value.c_str(), units - 1);
        text[units - 1] = L'\0';
        return !fails;
    }
};
