// Pieces of the install sequence that need no package run: the setup utility's command line,
// the containment rule for the configuration file, the TPM caution rule and the disk-space
// message.
#include <gtest/gtest.h>

#include <string>

#include "command_line_builder.h"
#include "config_file_writer.h"
#include "extraction_steps.h"
#include "machine_gate.h"

namespace {

TEST(SetupCommandLine, FolderQuoteAndBackslash) {
    EXPECT_EQ(zor::FullSetupCommandLine(L"C:\\Temp\\{G}", L"vazuvuda.exe\"  /s"),
              L"\"C:\\Temp\\{G}\\vazuvuda.exe\"  /s");
    EXPECT_EQ(zor::FullSetupCommandLine(L"D:\\", L"x.exe\" "), L"\"D:\\x.exe\" ");
}

TEST(ConfigFileName, MustStayInsideTheExtractionFolder) {
    const struct {
        const wchar_t* name;
        bool contained;
    } cases[] = {
        {L"setup.cfg", true},          {L"conf\\setup.cfg", true}, {L"conf/setup.cfg", true},
        {L"..setup.cfg", true},        {L"a..b\\c", true},         {L"", false},
        {L"..\\setup.cfg", false},     {L"conf\\..\\..\\x", false}, {L"conf/../x", false},
        {L"..", false},                {L"\\setup.cfg", false},    {L"/setup.cfg", false},
        {L"C:\\setup.cfg", false},     {L"C:setup.cfg", false},    {L"\\\\server\\share\\x", false},
        {L"setup.cfg:stream", false},  {L"CON", false},            {L"conf\\nul.cfg", false},
        {L"Com1.ini", false},          {L"lpt9", false},           {L"com10.cfg", true},
        {L"console.cfg", true},        {L"auxiliary.ini", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zor::IsContainedRelativePath(c.name), c.contained) << c.name;
    EXPECT_FALSE(zor::IsContainedRelativePath(nullptr));
}

TEST(TpmCaution, StateAndExpectedPathDecide) {
    const struct {
        int state;
        const wchar_t* path;
        bool caution;
    } cases[] = {
        {1, L"FIRMWARE:SYSTEM\\rom", true}, {1, L"firmware:system", true},
        {1, L"firmware:option", false},     {5, L"Firmware", true},
        {5, L"firmwareXYZ", true},          {5, L"software", false},
        {0, L"firmware:system", false},     {3, L"firmware:system", false},
        {1, nullptr, false},                {5, nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zor::NeedsTpmCaution(c.state, c.path), c.caution)
            << c.state << " " << (c.path ? c.path : L"(none)");
}

TEST(DiskSpaceMessage, ShowsAllThreeCountsInFullEvenBeyond4GiB) {
    const std::wstring text = zor::FormatDiskSpaceMessage(6000000000ull, 1000ull);
    EXPECT_NE(text.find(L"6000000000 bytes required"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"1000 bytes available"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Please make 5999999000 bytes available"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L"%lu"), std::wstring::npos);
}

} // namespace
