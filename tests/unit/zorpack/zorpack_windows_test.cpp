// zorpack on Windows: attributes and times come from the Windows file system, names arrive as
// UTF-16, and zorpack.exe builds and lists a package from a folder whose path is not ASCII.
// The package check reads documents through the wide-character expat build.
#include "platform.h"
#include "win_handles.h"
#include "zip_reader.h"
#include "zorpack_main.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zorpack {
namespace {

namespace fs = std::filesystem;

// A fresh folder in the temporary folder, removed with its contents (read-only and hidden
// attributes cleared first so that removal succeeds).
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        EXPECT_TRUE(length > 0 && length <= MAX_PATH);
        path_ = fs::path(temp) / (L"zorpack caf\u00E9 " + std::to_wstring(::GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(::GetTickCount()));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(path_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored))
            ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void writeFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good());
}

// Sets the last-write time of a file or folder (folders need backup semantics to be opened).
void setWriteTime(const fs::path& path, const FILETIME& time) {
    zor::FileHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(file.valid());
    ASSERT_TRUE(::SetFileTime(file.get(), nullptr, nullptr, &time));
}

// Runs zorpack.exe, which lies beside this test program, and returns its exit code.
DWORD runProgram(const std::wstring& arguments) {
    wchar_t self[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_TRUE(length > 0 && length < MAX_PATH);
    const fs::path program = fs::path(self).parent_path() / L"zorpack.exe";
    std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info))
        return 0xFFFFFFFF;
    zor::KernelHandle process(info.hProcess);
    zor::KernelHandle thread(info.hThread);
    DWORD exitCode = 0xFFFFFFFF;
    if (::WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.get(), &exitCode))
        return 0xFFFFFFFF;
    return exitCode;
}

std::wstring quoted(const fs::path& path) {
    return L"\"" + path.wstring() + L"\"";
}

ArchiveDirectory readPackage(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    ArchiveDirectory directory;
    std::string error;
    EXPECT_TRUE(readArchiveDirectory(in, directory, error)) << error;
    return directory;
}

TEST(ZorpackOnWindows, MemberTimesConvertBackToTheFilesTimesAsTheLauncherDoes) {
    ScratchFolder scratch;
    const fs::path file = scratch.path() / L"dated.txt";
    writeFile(file, "x");
    SYSTEMTIME utc{2021, 7, 0, 15, 13, 45, 30, 0}; // summer, where local time may differ by DST
    FILETIME written;
    ASSERT_TRUE(::SystemTimeToFileTime(&utc, &written));
    setWriteTime(file, written);

    FileFacts facts;
    std::string error;
    ASSERT_TRUE(readFileFacts(file, false, facts, error)) << error;
    const DosTimestamp dos = toDosTimestamp(facts.localModified);
    // The launcher takes the DOS time as local time and converts it to universal time.
    FILETIME local, back;
    ASSERT_TRUE(::DosDateTimeToFileTime(dos.date, dos.time, &local));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&local, &back));
    EXPECT_EQ(::CompareFileTime(&back, &written), 0);
}

TEST(ZorpackOnWindows, ProgramBuildsAndListsAPackageWithWindowsAttributes) {
    ScratchFolder scratch;
    const fs::path input = scratch.path() / L"input \u00E9t\u00E9";
    writeFile(input / L"caf\u00E9.txt", std::string(4000, 'c'));
    writeFile(input / L"setup" / L"readonly.txt", "read only");
    writeFile(input / L"hidden.txt", "hidden");
    fs::create_directories(input / L"hidden folder");
    ASSERT_TRUE(::SetFileAttributesW((input / L"setup" / L"readonly.txt").c_str(),
                                     FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesW((input / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::SetFileAttributesW((input / L"hidden folder").c_str(),
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
    const fs::path stub = scratch.path() / L"stub.exe";
    writeFile(stub, "MZ stand-in program image");
    const fs::path package = scratch.path() / L"pak\u00E9.exe";

    ASSERT_EQ(runProgram(L"--no-check -o " + quoted(package) + L" --stub " + quoted(stub) + L" " +
                         quoted(input)),
              0u);
    const ArchiveDirectory directory = readPackage(package);
    EXPECT_EQ(directory.firstLocalHeaderOffset, fs::file_size(stub));
    std::vector<std::pair<std::string, std::uint32_t>> members;
    for (const EntryHeader& e : directory.entries)
        members.emplace_back(e.name, e.externalAttributes);
    const std::vector<std::pair<std::string, std::uint32_t>> expected = {
        {"caf\xE9.txt", 0x20},
        {"hidden folder/", 0x12},
        {"hidden.txt", 0x22},
        {"setup/", 0x10},
        {"setup/readonly.txt", 0x21}};
    EXPECT_EQ(members, expected);
    EXPECT_EQ(directory.entries[0].method, 8);

    EXPECT_EQ(runProgram(L"--list " + quoted(package)), 0u);
    EXPECT_EQ(runProgram(L"--list " + quoted(stub)), 1u);
}

TEST(ZorpackOnWindows, RefusesNamesOutsideCodePage1252) {
    ScratchFolder scratch;
    const fs::path input = scratch.path() / L"input";
    writeFile(input / L"\u4E2D.txt", "x");
    const fs::path stub = scratch.path() / L"stub.exe";
    writeFile(stub, "MZ");
    const fs::path package = scratch.path() / L"pkg.exe";
    std::ostringstream out, err;
    EXPECT_EQ(runZorpack({"--no-check", "-o", package.u8string(), "--stub", stub.u8string(),
                          input.u8string()},
                         nullptr, out, err),
              1);
    EXPECT_NE(err.str().find("U+4E2D"), std::string::npos) << err.str();
    EXPECT_FALSE(fs::exists(package));
}

// The demo package, and a Shift_JIS definition, through the wide-character XML reader: the
// check finds what the launcher finds and the configuration file decrypts with its key.
TEST(ZorpackOnWindows, ChecksAndEncryptsThroughTheWideReader) {
    ScratchFolder scratch;
    const fs::path demo = scratch.path() / L"demo";
    fs::copy(fs::u8path(ZORPACK_DEMO_PACKAGE), demo, fs::copy_options::recursive);
    writeFile(demo / L"vazuvuda.exe", "MZ stand-in setup utility");
    const fs::path stub = scratch.path() / L"stub.exe";
    writeFile(stub, "MZ stand-in program image");
    const fs::path package = scratch.path() / L"demo.exe";
    std::ostringstream out, err;
    ASSERT_EQ(runZorpack({"-o", package.u8string(), "--stub", stub.u8string(), demo.u8string()},
                         nullptr, out, err),
              0)
        << out.str() << err.str();
    EXPECT_NE(out.str().find("configuration:      \"demo.cfg\" (encrypted)"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("return code map:    3010 -> 2"), std::string::npos) << out.str();

    const fs::path sjis = scratch.path() / L"sjis";
    // "\u30C7\u30E2" in Shift_JIS as the English name.
    writeFile(sjis / L"pkg.xml",
              "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<zor_package version=\"2.0.1.0\">"
              "<filename>pkg.exe</filename><name><name_xlate lang=\"en\">\x83\x66\x83\x82"
              "</name_xlate></name><installation><install><command>setup.exe</command>"
              "</install></installation></zor_package>");
    writeFile(sjis / L"setup.exe", "MZ");
    writeFile(sjis / L"vx_data.xml",
              "<vx_pkg_data><configuration><config_file><filename encrypt=\"1\">c.cfg"
              "</filename></config_file></configuration></vx_pkg_data>");
    writeFile(sjis / L"c.cfg", "a=1");
    const fs::path sjisPackage = scratch.path() / L"pkg.exe";
    std::ostringstream out2, err2;
    ASSERT_EQ(runZorpack({"-o", sjisPackage.u8string(), "--stub", stub.u8string(), sjis.u8string()},
                         nullptr, out2, err2),
              0)
        << out2.str() << err2.str();
    EXPECT_NE(out2.str().find("name (en):          \"\xE3\x83\x87\xE3\x83\xA2\""),
              std::string::npos)
        << out2.str();
    EXPECT_NE(out2.str().find("decrypted size:     8 bytes"), std::string::npos) << out2.str();
}

} // namespace
} // namespace zorpack
