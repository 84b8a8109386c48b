// Entry names that would place output outside the destination, and output paths too long
// for the launcher's path buffers.
#include "archive_fixture.h"
#include "zip_file.h"
#include "zip_result.h"

#include <gtest/gtest.h>

using namespace vozoru;
using namespace ziptest;

namespace {

ZipMember Member(const std::string& name, const std::string& data) {
    ZipMember m;
    m.name = name;
    m.data = data;
    return m;
}

// The names the reader must refuse, each placed after a harmless member so that a reader
// that checks while extracting would already have written something.
const std::string kEscapingNames[] = {
    "../evil.txt",
    "..\\evil.txt",
    "a/../../evil.txt",
    "a\\..\\..\\evil.txt",
    "a/b/../../../evil.txt",
    "..",
    "../",
    "a/.../evil.txt",
    ". ./evil.txt",
    "a/.. /evil.txt",
    "/rooted.txt",
    "\\rooted.txt",
    "C:\\evil.txt",
    "c:/evil.txt",
    "C:evil.txt",
    "\\\\server\\share\\evil.txt",
    "//server/share/evil.txt",
    "\\\\?\\C:\\evil.txt",
    "\\\\.\\nul",
    "CON",
    "nul.txt",
    "sub/COM1.log",
    "Lpt9",
    "aux/inner.txt",
    "conout$",
    "prn .txt",
    "file.txt:stream",
    "wild*.txt",
    "what?.txt",
    "pipe|name",
    "ctrl\x01name",
    std::string("safe.txt\0../../evil.txt", 24),
    "",
    "../evil/",
};

void ExpectNothingWritten(const TempFolder& root, const std::wstring& archive) {
    // Only the archive and the untouched sibling remain at the top.
    const std::vector<std::wstring> top = ListTree(root.path());
    const std::wstring archiveName = archive.substr(root.path().size() + 1); // sorts first
    EXPECT_EQ(top, (std::vector<std::wstring>{archiveName, L"outside"}));
}

} // namespace

TEST(PathEscape, RegressionEscapingNamesAreRefusedBeforeAnythingIsWritten) {
    for (const std::string& name : kEscapingNames) {
        TempFolder root;
        ASSERT_TRUE(CreateDirectoryW((root / L"outside").c_str(), nullptr));
        const std::wstring archive = WriteArchive(
            root, BuildZip({Member("first.txt", "harmless"), Member(name, "evil")}), L"escape.zip");
        ZIP_File zip;
        ASSERT_EQ(zip.OpenArchive(archive.c_str()), ZIP_OK) << name;
        const std::wstring destination = root / L"outside\\..\\dest";
        EXPECT_EQ(zip.ExtractAll((root / L"dest").c_str(), nullptr, nullptr), ZIP_BAD_ARCHIVE)
            << name;
        // The destination is not even created.
        ExpectNothingWritten(root, archive);
        EXPECT_EQ(zip.ExtractAll(destination.c_str(), nullptr, nullptr), ZIP_BAD_ARCHIVE);
        ExpectNothingWritten(root, archive);
    }
}

TEST(PathEscape, RegressionOwnNameExtractionRefusesEscapingNames) {
    for (const std::string& name : kEscapingNames) {
        TempFolder root;
        ASSERT_TRUE(CreateDirectoryW((root / L"outside").c_str(), nullptr));
        const std::wstring archive =
            WriteArchive(root, BuildZip({Member(name, "evil")}), L"escape.zip");
        ASSERT_TRUE(CreateDirectoryW((root / L"work").c_str(), nullptr));
        {
            CurrentFolderScope scope(root / L"work");
            ZIP_File zip;
            ASSERT_EQ(zip.OpenArchive(archive.c_str()), ZIP_OK) << name;
            EXPECT_EQ(zip.GetEntry(0)->ExtractToFile(nullptr, false), ZIP_BAD_ARCHIVE) << name;
        }
        EXPECT_TRUE(ListTree(root / L"work").empty()) << name;
        EXPECT_TRUE(ListTree(root / L"outside").empty()) << name;
    }
}

TEST(PathEscape, ExplicitOutputPathIsTheCallersChoice) {
    TempFolder root;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(root, BuildZip({Member("../evil.txt", "e")})).c_str()),
              ZIP_OK);
    const std::wstring chosen = root / L"chosen.txt";
    EXPECT_EQ(zip.GetEntry(0)->ExtractToFile(chosen.c_str(), false), ZIP_OK);
    EXPECT_TRUE(PathExists(chosen));
}

TEST(PathEscape, HarmlessNamesThatLookOddStillExtract) {
    TempFolder root;
    const std::vector<ZipMember> members = {
        Member("a/./b.txt", "1"),     Member("dots..txt", "2"),      Member("...name", "3"),
        Member("console.txt", "4"),   Member("COM10.txt", "5"),      Member("nul2/x.txt", "6"),
        Member("a//double.txt", "7"), Member("trailing./y.txt", "8")};
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(root, BuildZip(members)).c_str()), ZIP_OK);
    const std::wstring out = root / L"out";
    ASSERT_EQ(zip.ExtractAll(out.c_str(), nullptr, nullptr), ZIP_OK);
    for (const wchar_t* path : {L"a\\b.txt", L"dots..txt", L"...name", L"console.txt", L"COM10.txt",
                                L"nul2\\x.txt", L"a\\double.txt"}) {
        EXPECT_TRUE(PathExists(out + L"\\" + path)) << path;
    }
}

TEST(PathEscape, OverlongOutputPathIsRefusedNotCut) {
    TempFolder root;
    const std::wstring out = root / L"out";
    // out + "\" + folder + "\" + file: make the whole path exactly the limit, then one more.
    const size_t folderChars = 100;
    const std::string folder(folderChars, 'f');
    const size_t room = 259 - out.size() - 1 - folderChars - 1;
    const std::string fits = folder + "/" + std::string(room, 'n');
    const std::string tooLong = folder + "/" + std::string(room + 1, 'n');

    ZIP_File zip;
    ASSERT_EQ(
        zip.OpenArchive(WriteArchive(root, BuildZip({Member(fits, "ok")}), L"fits.zip").c_str()),
        ZIP_OK);
    ASSERT_EQ(zip.ExtractAll(out.c_str(), nullptr, nullptr), ZIP_OK);
    EXPECT_TRUE(PathExists(out + L"\\" + std::wstring(folder.begin(), folder.end()) + L"\\" +
                           std::wstring(room, L'n')));

    EmptyFolder(out);
    RemoveDirectoryW(out.c_str());
    ASSERT_EQ(
        zip.OpenArchive(
            WriteArchive(root, BuildZip({Member("a.txt", "a"), Member(tooLong, "no")}), L"long.zip")
                .c_str()),
        ZIP_OK);
    EXPECT_EQ(zip.ExtractAll(out.c_str(), nullptr, nullptr), ZIP_ERROR_CREATE);
    EXPECT_FALSE(PathExists(out));
    const std::wstring given = out + L"\\" + std::wstring(tooLong.begin(), tooLong.end());
    EXPECT_EQ(zip.GetEntry(1)->ExtractToFile(given.c_str(), false), ZIP_ERROR_CREATE);
    EXPECT_FALSE(PathExists(out));
}

TEST(PathEscape, LongestPossibleNameOpensAndIsRefusedForOutput) {
    TempFolder root;
    const std::string name(65535, 'n');
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(root, BuildZip({Member(name, "x")})).c_str()), ZIP_OK);
    ASSERT_EQ(zip.GetEntry(0)->GetNameLength(), 65535u);
    EXPECT_EQ(zip.FindEntry(std::wstring(65535, L'N').c_str()), zip.GetEntry(0));
    EXPECT_EQ(zip.ExtractAll((root / L"out").c_str(), nullptr, nullptr), ZIP_ERROR_CREATE);
    {
        CurrentFolderScope scope(root.path());
        EXPECT_EQ(zip.GetEntry(0)->ExtractToFile(nullptr, false), ZIP_ERROR_CREATE);
    }
    EXPECT_EQ(ListTree(root.path()), std::vector<std::wstring>{L"test.zip"});
}
