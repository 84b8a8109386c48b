// Unattended installations that fail once the extraction folder exists must still remove it.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "install_fixture.h"

namespace zor::test {
namespace {

// The extraction folder as the verbose log names it, made absolute against `base` when the
// run was given a relative one; empty when the log has no such line.
std::wstring ExtractionFolderFromLog(const std::wstring& base) {
    const std::string log = ReadVerboseLog(L"inst.exe.log");
    const std::string marker = "Changing current directory to extraction directory [";
    const size_t at = log.rfind(marker);
    if (at == std::string::npos)
        return std::wstring();
    const size_t start = at + marker.size();
    // "Done." after the line: the folder existed and was made current.
    const size_t end = log.find("]... Done.\r\n", start);
    if (end == std::string::npos)
        return std::wstring();
    const std::string folder = log.substr(start, end - start);
    const std::wstring wide(folder.begin(), folder.end());
    return wide.find(L':') == std::wstring::npos ? base + L"\\" + wide : wide;
}

std::string ReadText(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(path, bytes))
        return "<missing>";
    return std::string(bytes.begin(), bytes.end());
}

const char kBadConfigText[] = "not-hex-text!!!!"; // two blocks' worth of characters, not hex

void MarkConfigurationEncrypted(InstallFixture& fixture) {
    fixture.AddMember(L"vx_data.xml", R"(<vx_pkg_data><configuration><configui>
        <filename lang="en" encrypt="1">setup.cfg</filename></configui></configuration></vx_pkg_data>)");
    fixture.AddMember(L"setup.cfg", kBadConfigText);
    fixture.encryptConfiguration = false;
}

TEST(InstallFailureCleanup, ExtractionFolderIsRemovedAfterLateFailures) {
    const struct {
        const char* name;
        std::function<void(InstallFixture&)> prepare;
        std::wstring arguments;
        const char* normalLogText;
    } cases[] = {
        {"extraction into a relative folder fails", [](InstallFixture&) {},
         L"/s /verbose_log /instpath:rel",
         "**ERROR** - Arvex Package Setup was unable to extract the package properly.  "
         "Installation will not continue."},
        {"setup utility cannot start", [](InstallFixture& f) { f.command = "missing.exe"; },
         L"/s /verbose_log", "Unable to start setup utility - missing.exe"},
        {"configuration file cannot be decrypted", MarkConfigurationEncrypted, L"/s /verbose_log",
         "**ERROR** - Arvex Package Setup was unable to extract the configuration file properly.  "
         "Installation will not continue.\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveLogs();
        InstallFixture fixture;
        c.prepare(fixture);
        ASSERT_FALSE(fixture.Build().empty());
        const std::wstring here = fixture.work().path();
        EXPECT_EQ(fixture.Run(c.arguments, 1, nullptr, here.c_str()), 0);
        EXPECT_FALSE(fixture.Record().present) << "the setup utility ran";

        const std::wstring folder = ExtractionFolderFromLog(here);
        ASSERT_FALSE(folder.empty()) << ReadVerboseLog(L"inst.exe.log");
        EXPECT_FALSE(PathExists(folder))
            << "left behind: " << std::string(folder.begin(), folder.end());
        const std::string normal = ReadNormalLog();
        EXPECT_NE(normal.find(c.normalLogText), std::string::npos) << normal;
    }
}

TEST(InstallFailureCleanup, UndecryptableConfigurationIsStoredAsGiven) {
    // The premise of the decryption case above: the package carries the text unencrypted, so
    // the launcher is the one that fails to decrypt it. Extract mode keeps the raw member.
    InstallFixture fixture;
    MarkConfigurationEncrypted(fixture);
    ASSERT_FALSE(fixture.Build().empty());
    const std::wstring out = fixture.work() / L"out";
    ASSERT_TRUE(MakeFolder(out));
    fixture.Run(L"\"/extract:" + out + L"\"");
    EXPECT_EQ(ReadText(out + L"\\setup.cfg"), kBadConfigText);
}

} // namespace
} // namespace zor::test
