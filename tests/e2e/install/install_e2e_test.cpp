// Unattended installations under Wine: what the setup utility receives, how its exit code
// becomes the launcher's, what is recorded, and what is left behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "install_fixture.h"
#include "process_runner.h"

namespace zor::test {
namespace {

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::wstring RecordKey(const InstallFixture& fixture, const wchar_t* sub) {
    return std::wstring(kRevisionKey) + L"\\" + fixture.swKeyName + L"\\" + sub;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string ReadText(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    ReadFileBytes(path, bytes);
    return std::string(bytes.begin(), bytes.end());
}

// Removes what changes from run to run: times, dates, folders, the test's key name, and the
// source line numbers of the verbose entries.
std::string Normalize(std::string text, const std::vector<std::pair<std::string, std::string>>& names) {
    for (const auto& [from, to] : names) {
        for (size_t at = text.find(from); !from.empty() && at != std::string::npos;
             at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    text = std::regex_replace(text, std::regex(R"(\d{1,2}/\d{1,2}/\d{4})"), "<DATE>");
    text = std::regex_replace(text, std::regex(R"(\d{1,2}:\d{2}:\d{2}( [AP]M)?)"), "<TIME>");
    text = std::regex_replace(text, std::regex(R"(stub\.cpp\[\d+\])"), "stub.cpp[N]");
    return text;
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveLogs(); }
    InstallFixture fixture;
};

TEST_F(InstallTest, SilentInstallRunsSetupUtilityInFreshFolderAndCleansUp) {
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s"), 1);
    const SetupRecord record = fixture.Record();
    ASSERT_TRUE(record.present);
    // A quote, the folder, a backslash, the command, the closing quote, the blank before the
    // (empty) parameters and one blank before each launcher argument.
    EXPECT_EQ(record.commandLine, L"\"" + record.folder + L"\\vazuvuda.exe\"  /s");
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    EXPECT_TRUE(StartsWith(record.folder, std::wstring(temp) + L"{")) << record.folder;
    EXPECT_EQ(record.folder.back(), L'}');
    EXPECT_FALSE(PathExists(record.folder)) << "extraction folder left behind";

    EXPECT_EQ(ReadMachineString(RecordKey(fixture, L"0"), L"ComponentFileName"), L"inst.exe");
    const std::string log = ReadNormalLog();
    EXPECT_NE(log.find("Setup utility completed."), std::string::npos) << log;
    EXPECT_NE(log.find("Return Code (1)"), std::string::npos) << log;
}

TEST_F(InstallTest, SilentRunLogsMatchTheGoldenFiles) {
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s /verbose_log"), 1);
    const SetupRecord record = fixture.Record();
    ASSERT_TRUE(record.present);
    wchar_t here[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, here);
    const std::vector<std::pair<std::string, std::string>> names = {
        {Narrow(record.folder), "<FOLDER>"},
        {Narrow(here), "<CURRENT>"},
        {Narrow(fixture.swKeyName), "<KEY>"},
    };
    const std::wstring golden = ProgramFolder() + L"\\golden\\";
    EXPECT_EQ(Normalize(ReadNormalLog(), names), ReadText(golden + L"normal.log"));
    EXPECT_EQ(Normalize(ReadVerboseLog(L"inst.exe.log"), names), ReadText(golden + L"verbose.log"));
}

TEST_F(InstallTest, ExitCodeIsTranslatedAndReportedInBothConventions) {
    fixture.AddMember(L"vx_data.xml", R"(<vx_pkg_data><installation><install><returncode_map>
        <map source="3010" dest="2"/><map source="-5" dest="0"/></returncode_map></install>
        </installation></vx_pkg_data>)");
    ASSERT_FALSE(fixture.Build().empty());
    const struct {
        long setupExit;
        const wchar_t* arguments;
        long expected;
    } cases[] = {
        {1, L"/s", 1},    {2, L"/s", 2},     {0, L"/s", 0},           {3010, L"/s", 2},
        {7, L"/s", 7},    {0, L"/s /dosretcode", 1}, {2, L"/s /dosretcode", 0},
        {-5, L"/s", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fixture.Run(c.arguments, c.setupExit), c.expected)
            << c.setupExit << " " << std::string(c.arguments, c.arguments + wcslen(c.arguments));
}

TEST_F(InstallTest, ParametersAndMappedArgumentsFollowTheCommand) {
    fixture.commandParams = "/a /b";
    fixture.AddMember(L"vx_data.xml", R"(<vx_pkg_data><installation><install>
        <commandline_arg_map><map source="/F" dest="/force"/></commandline_arg_map>
        </install></installation></vx_pkg_data>)");
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/S /f \"two words\""), 1);
    const SetupRecord record = fixture.Record();
    ASSERT_TRUE(record.present);
    EXPECT_EQ(record.commandLine,
              L"\"" + record.folder + L"\\vazuvuda.exe\" /a /b /S /force two words");
}

TEST_F(InstallTest, DryRunStartsNothingButRecordsTheComponent) {
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s /dryrun", 0), 1);
    EXPECT_FALSE(fixture.Record().present);
    EXPECT_EQ(ReadMachineString(RecordKey(fixture, L"0"), L"ComponentFileName"), L"inst.exe");
}

TEST_F(InstallTest, FailedInstallationRecordsNothing) {
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s", 0), 0);
    EXPECT_TRUE(fixture.Record().present);
    EXPECT_FALSE(MachineKeyExists(RecordKey(fixture, L"0")));
}

TEST_F(InstallTest, SetupUtilityThatCannotStartFails) {
    fixture.command = "missing.exe";
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s"), 0);
    EXPECT_FALSE(fixture.Record().present);
    const std::string log = ReadNormalLog();
    EXPECT_NE(log.find("Unable to start setup utility - missing.exe"), std::string::npos) << log;
    EXPECT_NE(log.find("unable to start the installation program - missing.exe."), std::string::npos);
    EXPECT_FALSE(MachineKeyExists(RecordKey(fixture, L"0")));
}

TEST_F(InstallTest, PackageWithoutInstallCommandOrWithInstallDisabledFails) {
    fixture.AddMember(L"vx_data.xml", R"(<vx_pkg_data><settings>
        <value name="DISABLE_INSTALL_BUTTON" value="1"/></settings></vx_pkg_data>)");
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s"), 0);
    EXPECT_FALSE(fixture.Record().present);
}

TEST_F(InstallTest, EncryptedConfigurationFileIsWrittenDecrypted) {
    const std::string plain = "server=alpha\r\nport=421\r\n"; // 24 bytes: three whole blocks
    fixture.AddMember(L"vx_data.xml", R"(<vx_pkg_data><configuration><configui>
        <filename lang="en" encrypt="1">setup.cfg</filename></configui></configuration></vx_pkg_data>)");
    fixture.AddMember(L"setup.cfg", plain); // the package builder stores it encrypted
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s", 1, L"setup.cfg"), 1);
    EXPECT_EQ(fixture.Copied(L"setup.cfg"), plain);
}

TEST_F(InstallTest, ConfigFileOptionCopiesTheGivenFile) {
    const std::wstring own = fixture.work() / L"site.cfg";
    WriteFileBytes(own, {'m', 'i', 'n', 'e'});
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s /config_file \"" + own + L"\"", 1, L"site.cfg"), 1);
    EXPECT_EQ(fixture.Copied(L"site.cfg"), "mine");
    const std::string log = ReadNormalLog();
    EXPECT_NE(log.find("Copy CFG file returncode[1]"), std::string::npos) << log;
}

TEST_F(InstallTest, RelativeConfigFileIsTakenFromTheLauncherFolder) {
    WriteFileBytes(fixture.work() / L"site.cfg", {'m', 'i', 'n', 'e'});
    ASSERT_FALSE(fixture.Build().empty());
    // The launcher starts in the folder that holds the file and moves into the extraction
    // folder before it copies it.
    const std::wstring here = fixture.work().path();
    EXPECT_EQ(fixture.Run(L"/s /config_file site.cfg", 1, L"site.cfg", here.c_str()), 1);
    EXPECT_EQ(fixture.Copied(L"site.cfg"), "mine");
    const std::string log = ReadNormalLog();
    EXPECT_NE(log.find("Copy CFG file returncode[1]"), std::string::npos) << log;
}

TEST_F(InstallTest, InstPathFolderThatExistedKeepsWhatItHeld) {
    const std::wstring existing = fixture.work() / L"existing";
    MakeFolder(existing);
    WriteFileBytes(existing + L"\\keep.txt", {'k'});
    ASSERT_FALSE(fixture.Build().empty());
    EXPECT_EQ(fixture.Run(L"/s \"/instpath:" + existing + L"\""), 1);
    EXPECT_EQ(fixture.Record().folder, existing);
    EXPECT_TRUE(PathExists(existing + L"\\keep.txt"));

    const std::wstring fresh = fixture.work() / L"fresh\\deeper";
    EXPECT_EQ(fixture.Run(L"/s /instpath:" + fresh), 1);
    EXPECT_EQ(fixture.Record().folder, fresh);
    EXPECT_FALSE(PathExists(fresh)) << "a folder the run created is removed";
}

TEST_F(InstallTest, StoppedWmiServiceRefusesSilentlyWithLoggedError) {
    ASSERT_FALSE(fixture.Build().empty());
    long exitCode = -1;
    {
        StoppedWmiService wmi;
        ASSERT_TRUE(wmi.stopped());
        exitCode = fixture.Run(L"/s");
    }

    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(fixture.Record().present);
    const std::string log = ReadNormalLog();
    EXPECT_NE(log.find("**ERROR** - \r\n\r\nWindows Management Instrumentation (WMI) is not installed"),
              std::string::npos)
        << log;
}

} // namespace
} // namespace zor::test
