// The launcher program under Wine: run modes, extraction from the command line, the message
// for a file that is not a package, the usage dialog, and the exit-code conventions.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "host_shell.h"
#include "package_fixture.h"
#include "process_runner.h"
#include "temp_folder.h"
#include "window_driver.h"

namespace zor::test {
namespace {

constexpr DWORD kWindowWait = 20000;

// A package tree with the shapes that extraction must reproduce exactly.
class PackageTree {
public:
    explicit PackageTree(const std::wstring& root) : root_(root) {
        Add(L"readme.txt", FixtureBytes(5000, true, 1));
        Add(L"empty.dat", {});
        Add(L"payload.bin", FixtureBytes(70000, false, 2));
        Folder(L"docs");
        Folder(L"docs\\deep");
        Folder(L"docs\\deep\\deeper");
        Add(L"docs\\deep\\deeper\\notes with blanks.txt", FixtureBytes(300, true, 3));
        Folder(L"empty folder");
    }
    const std::map<std::wstring, std::vector<unsigned char>>& files() const { return files_; }
    const std::vector<std::wstring>& folders() const { return folders_; }

private:
    void Add(const std::wstring& name, const std::vector<unsigned char>& bytes) {
        files_[name] = bytes;
        WriteFileBytes(root_ + L"\\" + name, bytes);
    }
    void Folder(const std::wstring& name) {
        folders_.push_back(name);
        MakeFolder(root_ + L"\\" + name);
    }
    std::wstring root_;
    std::map<std::wstring, std::vector<unsigned char>> files_;
    std::vector<std::wstring> folders_;
};

class LauncherTest : public ::testing::Test {
protected:
    TempFolder work{L"le"};
    std::wstring Package(const wchar_t* name, bool withTree = true) {
        const std::wstring source = work / (std::wstring(name) + L"_src");
        MakeFolder(source);
        if (withTree) tree_ = std::make_unique<PackageTree>(source);
        const std::wstring package = work / (std::wstring(name) + L".exe");
        EXPECT_TRUE(BuildPackage(source, package));
        return package;
    }
    std::unique_ptr<PackageTree> tree_;
};

TEST_F(LauncherTest, ExtractOptionReproducesEveryMemberByteForByte) {
    const std::wstring package = Package(L"pkg");
    const std::wstring out = work / L"out";
    ASSERT_TRUE(MakeFolder(out));
    EXPECT_EQ(RunToEnd(Quote(package) + L" /extract:" + out), 1);
    for (const auto& [name, bytes] : tree_->files()) {
        std::vector<unsigned char> extracted;
        ASSERT_TRUE(ReadFileBytes(out + L"\\" + name, extracted)) << name;
        EXPECT_EQ(extracted, bytes) << name;
    }
    for (const std::wstring& folder : tree_->folders()) {
        DWORD attributes = ::GetFileAttributesW((out + L"\\" + folder).c_str());
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << folder;
    }
}

TEST_F(LauncherTest, SignedPackageStillOpensAndExtracts) {
    // The signature block goes after the archive; the archive's end record must still be
    // found behind it. The certificate is a throw-away one made for this test.
    const std::wstring package = Package(L"tosign");
    const std::wstring signedPackage = work / L"signed.exe";
    const std::wstring done = work / L"signed.done";
    const std::string script =
        "set -e\ncd " + ShellQuote(HostPathOf(work.path())) +
        "\nopenssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 "
        "-subj /CN=ZorTest >/dev/null 2>&1"
        "\nosslsigncode sign -certs cert.pem -key key.pem -in tosign.exe -out signed.exe "
        ">/dev/null 2>&1\ntouch signed.done\n";
    ASSERT_TRUE(RunHostScript(work.path(), script, done, 60000)) << "signing failed";
    std::vector<unsigned char> plain, signedBytes;
    ASSERT_TRUE(ReadFileBytes(package, plain));
    ASSERT_TRUE(ReadFileBytes(signedPackage, signedBytes));
    ASSERT_GT(signedBytes.size(), plain.size() + 500) << "no signature block was added";

    const std::wstring out = work / L"out";
    ASSERT_TRUE(MakeFolder(out));
    EXPECT_EQ(RunToEnd(Quote(signedPackage) + L" /extract:" + out), 1);
    for (const auto& [name, bytes] : tree_->files()) {
        std::vector<unsigned char> extracted;
        ASSERT_TRUE(ReadFileBytes(out + L"\\" + name, extracted)) << name;
        EXPECT_EQ(extracted, bytes) << name;
    }
}

TEST_F(LauncherTest, ExtractionExitCodeIgnoresDosConventionAndOtherModes) {
    const std::wstring package = Package(L"pkg");
    const std::wstring out = work / L"My Out";
    ASSERT_TRUE(MakeFolder(out));
    EXPECT_EQ(RunToEnd(Quote(package) + L" /S /NOPROMPT /dosretcode \"/EXTRACT:" + out + L"\""), 1);
    EXPECT_TRUE(PathExists(out + L"\\readme.txt"));

    const std::wstring missing = work / L"missing";
    EXPECT_EQ(RunToEnd(Quote(package) + L" /dosretcode /extract:" + missing), 0);
    EXPECT_FALSE(PathExists(missing));
}

TEST_F(LauncherTest, PackageWithoutDefinitionFailsQuietlyWhenSilent) {
    const std::wstring package = Package(L"nodef");
    EXPECT_EQ(RunToEnd(Quote(package) + L" /s", kWindowWait), 0);
    EXPECT_EQ(RunToEnd(Quote(package) + L" /silent /dosretcode", kWindowWait), 1);
}

TEST_F(LauncherTest, AgentParentSwitchesToDosConvention) {
    const std::wstring package = Package(L"agent");
    const std::wstring agent = work / L"DoDoDi.exe";
    const std::wstring other = work / L"manager.exe";
    ASSERT_TRUE(::CopyFileW((ProgramFolder() + L"\\run_child.exe").c_str(), agent.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW((ProgramFolder() + L"\\run_child.exe").c_str(), other.c_str(), FALSE));
    EXPECT_EQ(RunToEnd(Quote(agent) + L" " + Quote(package) + L" /s", kWindowWait), 1);
    EXPECT_EQ(RunToEnd(Quote(other) + L" " + Quote(package) + L" /s", kWindowWait), 0);
}

TEST_F(LauncherTest, FileWithoutArchiveShowsMessageEvenWhenSilent) {
    const std::wstring plain = work / L"plain.exe";
    ASSERT_TRUE(::CopyFileW(LauncherStub().c_str(), plain.c_str(), FALSE));
    ChildProcess launcher(Quote(plain) + L" /s /dosretcode");
    ASSERT_TRUE(launcher.started());
    HWND box = WaitForProcessWindow(launcher.pid(), kWindowWait);
    ASSERT_NE(box, nullptr);
    WindowInfo info = DescribeWindow(box);
    EXPECT_EQ(info.caption, L"Arvex Package Setup");
    EXPECT_NE(info.StaticTexts().find(L"A package definition file was not found.  The file is not "
                                      L"a valid Package."),
              std::wstring::npos)
        << info.StaticTexts();
    bool hasIcon = false;
    for (const ControlInfo& control : info.controls) hasIcon = hasIcon || control.icon != nullptr;
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(PressButton(box, IDOK));
    EXPECT_EQ(launcher.Wait(), 0);
}

TEST_F(LauncherTest, HelpShowsUsageAndWinsOverEverything) {
    const std::wstring package = Package(L"help");
    const std::wstring out = work / L"out";
    ASSERT_TRUE(MakeFolder(out));
    ChildProcess launcher(Quote(package) + L" /s /dosretcode /extract:" + out + L" -?");
    ASSERT_TRUE(launcher.started());
    HWND dialog = WaitForProcessWindow(launcher.pid(), kWindowWait);
    ASSERT_NE(dialog, nullptr);
    WindowInfo info = DescribeWindow(dialog);
    EXPECT_EQ(info.caption, L"Command Line Usage for Talvern Package Setup");
    const std::wstring texts = info.StaticTexts();
    for (const wchar_t* expected :
         {L"/help, /h, /?", L"Installs without user interaction.", L"/force, /f",
          L"Allow the system to reboot if installation requires it (only applicable with "
          L"/silent)."})
        EXPECT_NE(texts.find(expected), std::wstring::npos) << expected;
    const ControlInfo* close = info.Control(IDCANCEL);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text, L"Close");
    EXPECT_TRUE(PressButton(dialog, IDCANCEL));
    EXPECT_EQ(launcher.Wait(), 1);
    EXPECT_FALSE(PathExists(out + L"\\readme.txt"));
}

} // namespace
} // namespace zor::test
