// Command-line parsing: which argument sets which option, and how values are bounded.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <string>

#include "launcher_options.h"

using zor::LauncherOptions;
using zor::ParseCommandLine;

namespace {

LauncherOptions Parse(const std::wstring& line) {
    LauncherOptions options;
    options.silent = true; // parsing must reset every field first
    ParseCommandLine(line.c_str(), options);
    return options;
}

struct FlagCase {
    const wchar_t* line;
    bool LauncherOptions::*flag;
};

class FlagOptionTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(FlagOptionTest, SetsItsFlagIgnoringCase) {
    EXPECT_TRUE(Parse(GetParam().line).*(GetParam().flag)) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    AllSpellings, FlagOptionTest,
    ::testing::Values(
        FlagCase{L"/?", &LauncherOptions::help}, FlagCase{L"-?", &LauncherOptions::help},
        FlagCase{L"/H", &LauncherOptions::help}, FlagCase{L"-h", &LauncherOptions::help},
        FlagCase{L"/Help", &LauncherOptions::help}, FlagCase{L"-help", &LauncherOptions::help},
        FlagCase{L"--HELP", &LauncherOptions::help}, FlagCase{L"/S", &LauncherOptions::silent},
        FlagCase{L"/SILENT", &LauncherOptions::silent},
        FlagCase{L"/NoPrompt", &LauncherOptions::noPrompt},
        FlagCase{L"/dosRetCode", &LauncherOptions::dosRetCode},
        FlagCase{L"/dryrun", &LauncherOptions::dryRun},
        FlagCase{L"-DRYRUN", &LauncherOptions::dryRun},
        FlagCase{L"--dryrun", &LauncherOptions::dryRun},
        FlagCase{L"/tpmbypass", &LauncherOptions::tpmBypass},
        FlagCase{L"/IGNORE_TPM", &LauncherOptions::tpmBypass},
        FlagCase{L"/Verbose_Log", &LauncherOptions::verboseLog},
        FlagCase{L"/reboot", &LauncherOptions::reboot},
        FlagCase{L"-REBOOT", &LauncherOptions::reboot},
        FlagCase{L"--reboot", &LauncherOptions::reboot}, FlagCase{L"/R", &LauncherOptions::reboot},
        FlagCase{L"-r", &LauncherOptions::reboot},
        FlagCase{L"/Extract:C:\\Out", &LauncherOptions::extractOnly},
        FlagCase{L"/INSTPATH:C:\\In", &LauncherOptions::useInstPath}),
    [](const ::testing::TestParamInfo<FlagCase>& info) {
        std::string name;
        for (const wchar_t* c = info.param.line; *c && *c != L':'; ++c)
            name += (std::iswalnum(*c) ? static_cast<char>(*c) : '_');
        return name + "_" + std::to_string(info.index);
    });

TEST(ParseCommandLine, EmptyLineAndUnknownArgumentsLeaveEverythingOff) {
    for (const wchar_t* line : {L"", L"   ", L"/f /force /silentx /s: extract:C:\\x /sx"}) {
        LauncherOptions options = Parse(line);
        EXPECT_FALSE(options.silent || options.help || options.extractOnly ||
                     options.useInstPath || options.reboot || options.noPrompt)
            << line;
        EXPECT_EQ(options.extractPath[0], L'\0');
    }
}

TEST(ParseCommandLine, WholeArgumentMustMatchExceptPrefixOptions) {
    LauncherOptions options = Parse(L"/silentX /s2 /extract:D:\\Pkg /instpath:E:\\Work");
    EXPECT_FALSE(options.silent);
    EXPECT_STREQ(options.extractPath, L"D:\\Pkg");
    EXPECT_STREQ(options.instPath, L"E:\\Work");
}

TEST(ParseCommandLine, QuotedPathKeepsItsBlanks) {
    LauncherOptions options = Parse(L"\"/extract:C:\\My Folder\\Out\" /s");
    EXPECT_TRUE(options.extractOnly);
    EXPECT_STREQ(options.extractPath, L"C:\\My Folder\\Out");
    EXPECT_TRUE(options.silent);
}

TEST(ParseCommandLine, ValueOptionTakesNextArgumentWhichIsAlsoParsed) {
    LauncherOptions options = Parse(L"/reboot_message /s");
    EXPECT_STREQ(options.rebootMessage, L"/s");
    EXPECT_TRUE(options.silent);
}

TEST(ParseCommandLine, LaterOccurrenceOverridesButFlagsStay) {
    LauncherOptions options =
        Parse(L"/extract:C:\\A /s /extract:C:\\B /t 5 /t 9 /reboot_message one /reboot_message two");
    EXPECT_STREQ(options.extractPath, L"C:\\B");
    EXPECT_EQ(options.shutdownTimeout, 9);
    EXPECT_STREQ(options.rebootMessage, L"two");
    EXPECT_TRUE(options.silent);
}

TEST(ParseCommandLine, ShutdownDelayConversion) {
    const struct {
        const wchar_t* line;
        int32_t expected;
    } cases[] = {
        {L"/t 30", 30},          {L"/T \"  -12abc\"", -12}, {L"/t +7", 7},
        {L"/t abc", 0},          {L"/t", 0},                {L"/t 5 /t", 0},
        {L"/t 99999999999", 2147483647}, {L"/t -99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.line).shutdownTimeout, c.expected) << c.line;
}

TEST(ParseCommandLine, ValueOptionAsLastArgumentGetsEmptyValue) {
    LauncherOptions options = Parse(L"/reboot_message /config_file");
    EXPECT_STREQ(options.rebootMessage, L"/config_file");
    EXPECT_EQ(options.configFilePath[0], L'\0');
    EXPECT_FALSE(options.configFileFound);
}

TEST(ParseCommandLine, OverlongPathIsRefusedAndFieldStaysEmpty) {
    const std::wstring fits(260 - 3, L'a');
    const std::wstring tooLong(261 - 3, L'a');
    LauncherOptions options = Parse(L"/extract:C:\\" + fits + L" /instpath:C:\\" + tooLong);
    EXPECT_EQ(std::wstring(options.extractPath), L"C:\\" + fits);
    EXPECT_TRUE(options.useInstPath);
    EXPECT_EQ(options.instPath[0], L'\0');
}

TEST(ParseCommandLine, OverlongRebootMessageIsCutToItsField) {
    const std::wstring message(700, L'm');
    LauncherOptions options = Parse(L"/reboot_message " + message);
    EXPECT_EQ(std::wstring(options.rebootMessage), message.substr(0, zor::kRebootMessageMax));
}

TEST(ParseCommandLine, ConfigFileIsFoundByFileSearch) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH, folder), 0u);
    const std::wstring file = std::wstring(folder) + L"zor_options_test.cfg";
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);

    const std::wstring pattern = std::wstring(folder) + L"zor_options_te*.cfg";
    const std::wstring missing = std::wstring(folder) + L"zor_no_such_file.cfg";
    EXPECT_TRUE(Parse(L"/config_file \"" + file + L"\"").configFileFound);
    EXPECT_TRUE(Parse(L"-config_file \"" + pattern + L"\"").configFileFound);
    LauncherOptions options = Parse(L"/config_file \"" + missing + L"\"");
    EXPECT_FALSE(options.configFileFound);
    EXPECT_EQ(std::wstring(options.configFilePath), missing);

    // A relative path is taken against the current folder and kept as a full path.
    wchar_t saved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(folder));
    options = Parse(L"/config_file zor_options_test.cfg");
    ::SetCurrentDirectoryW(saved);
    EXPECT_TRUE(options.configFileFound);
    EXPECT_EQ(std::wstring(options.configFilePath), file);
    ::DeleteFileW(file.c_str());
}

} // namespace
