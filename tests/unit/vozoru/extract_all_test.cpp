// Extraction into folders: whole archives with ExtractAll and single entries with
// ExtractToFile.
#include "archive_fixture.h"
#include "zip_file.h"
#include "zip_result.h"

#include <gtest/gtest.h>

using namespace vozoru;
using namespace ziptest;

namespace {

ZipMember Member(const std::string& name, const std::string& data, bool deflate = false) {
    ZipMember m;
    m.name = name;
    m.data = data;
    m.deflate = deflate;
    return m;
}

std::vector<ZipMember> TreeMembers() {
    return {Member("top.txt", "top"), Member("docs/", ""),
            Member("docs/guide.txt", SampleData(20000, 21, true), true),
            Member("deep\\er/still/file.bin", SampleData(3000, 22, false))};
}

std::string ContentOf(const std::wstring& path) {
    std::string bytes;
    return ReadBytes(path, &bytes) ? bytes : std::string("<missing>");
}

struct ProgressLog {
    std::vector<ExtractProgress> seen;
    std::vector<std::wstring> paths;
    int64_t stopAt = 0;
};

bool RecordProgress(void* user, const ExtractProgress* progress) {
    auto* log = static_cast<ProgressLog*>(user);
    log->seen.push_back(*progress);
    log->paths.push_back(progress->path);
    return progress->index != log->stopAt;
}

} // namespace

TEST(ExtractAll, BuildsTheTreeForEitherSeparatorInTheDestination) {
    for (bool forwardSlashes : {false, true}) {
        TempFolder folder;
        ZIP_File zip;
        ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(TreeMembers())).c_str()), ZIP_OK);
        std::wstring destination = folder / L"new\\out";
        if (forwardSlashes) {
            for (wchar_t& c : destination)
                c = c == L'\\' ? L'/' : c;
        }
        ASSERT_EQ(zip.ExtractAll(destination.c_str(), nullptr, nullptr), ZIP_OK);

        const std::wstring out = folder / L"new\\out";
        const std::vector<std::wstring> expected = {
            L"deep", L"deep\\er",        L"deep\\er\\still", L"deep\\er\\still\\file.bin",
            L"docs", L"docs\\guide.txt", L"top.txt"};
        EXPECT_EQ(ListTree(out), expected);
        EXPECT_EQ(ContentOf(out + L"\\top.txt"), "top");
        EXPECT_TRUE(ContentOf(out + L"\\docs\\guide.txt") == TreeMembers()[2].data);
        EXPECT_TRUE(ContentOf(out + L"\\deep\\er\\still\\file.bin") == TreeMembers()[3].data);
        EXPECT_TRUE(IsFolder(out + L"\\docs"));
    }
}

TEST(ExtractAll, DestinationWithoutDriveFailsAndWritesNothing) {
    TempFolder folder;
    const std::wstring archive = WriteArchive(folder, BuildZip(TreeMembers()));
    TempFolder work;
    CurrentFolderScope scope(work.path());
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(archive.c_str()), ZIP_OK);
    for (const wchar_t* destination : {L"out", L"out\\sub", L"\\out", L".\\out", L"C:out"}) {
        EXPECT_EQ(zip.ExtractAll(destination, nullptr, nullptr), ZIP_ERROR_READ) << destination;
    }
    EXPECT_TRUE(ListTree(work.path()).empty());
}

TEST(ExtractAll, ReportsProgressAndStopsWhenTheCallbackSaysSo) {
    TempFolder folder;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(TreeMembers())).c_str()), ZIP_OK);
    const std::wstring out = folder / L"out";

    ProgressLog all;
    ASSERT_EQ(zip.ExtractAll(out.c_str(), RecordProgress, &all), ZIP_OK);
    ASSERT_EQ(all.seen.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(all.seen[i].index, static_cast<int64_t>(i + 1));
        EXPECT_EQ(all.seen[i].total, 4);
    }
    EXPECT_EQ(all.paths[0], out + L"\\top.txt");
    EXPECT_EQ(all.paths[3], out + L"\\deep\\er/still/file.bin");

    EmptyFolder(out);
    ProgressLog stopped;
    stopped.stopAt = 2;
    EXPECT_EQ(zip.ExtractAll(out.c_str(), RecordProgress, &stopped), ZIP_OK);
    EXPECT_EQ(stopped.seen.size(), 2u);
    EXPECT_EQ(ListTree(out), std::vector<std::wstring>{L"top.txt"});
}

TEST(ExtractAll, ReplacesAnExistingFile) {
    TempFolder folder;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(TreeMembers())).c_str()), ZIP_OK);
    const std::wstring out = folder / L"out";
    ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(out + L"\\top.txt", FillerBytes(5000, 23)));
    ASSERT_EQ(zip.ExtractAll(out.c_str(), nullptr, nullptr), ZIP_OK);
    EXPECT_EQ(ContentOf(out + L"\\top.txt"), "top");
}

TEST(ExtractAll, FilesCarryTheEntryTimeAndAttributes) {
    TempFolder folder;
    ZipMember m = Member("stamped.txt", "content");
    m.dosDate = static_cast<uint16_t>(((2019 - 1980) << 9) | (7 << 5) | 21); // 2019-07-21
    m.dosTime = static_cast<uint16_t>((9 << 11) | (41 << 5) | (58 / 2));     // 09:41:58
    m.externalAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip({m})).c_str()), ZIP_OK);
    const std::wstring out = folder / L"out";
    ASSERT_EQ(zip.ExtractAll(out.c_str(), nullptr, nullptr), ZIP_OK);

    FILETIME local, expected;
    ASSERT_TRUE(DosDateTimeToFileTime(m.dosDate, m.dosTime, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &expected));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(
        GetFileAttributesExW((out + L"\\stamped.txt").c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &expected), 0);
    EXPECT_EQ(CompareFileTime(&data.ftCreationTime, &expected), 0);
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
}

TEST(ExtractAll, StopsAtTheFirstFailingEntryAndKeepsEarlierOnes) {
    TempFolder folder;
    ZipImage image =
        BuildZip({Member("one.txt", "1"), Member("two.txt", "2"), Member("three.txt", "3")});
    PatchBoth32(&image, 1, kLocalCrc, kCentralCrc, 12345);
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, image).c_str()), ZIP_OK);
    const std::wstring out = folder / L"out";
    EXPECT_EQ(zip.ExtractAll(out.c_str(), nullptr, nullptr), ZIP_ERROR_CRC);
    EXPECT_TRUE(PathExists(out + L"\\one.txt"));
    EXPECT_FALSE(PathExists(out + L"\\three.txt"));
}

TEST(ExtractAll, WithoutDestinationExtractsBelowTheCurrentFolder) {
    TempFolder folder;
    const std::wstring archive = WriteArchive(folder, BuildZip(TreeMembers()));
    TempFolder work;
    CurrentFolderScope scope(work.path());
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(archive.c_str()), ZIP_OK);
    ProgressLog log;
    ASSERT_EQ(zip.ExtractAll(nullptr, RecordProgress, &log), ZIP_OK);
    EXPECT_EQ(log.paths[0], work.path() + L"\\top.txt");
    EXPECT_TRUE(ContentOf(work / L"deep\\er\\still\\file.bin") == TreeMembers()[3].data);
}

TEST(ExtractToFile, DoNotOverwriteKeepsAnExistingFile) {
    TempFolder folder;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(TreeMembers())).c_str()), ZIP_OK);
    const std::wstring out = folder / L"kept.txt";
    ASSERT_TRUE(WriteBytes(out, {'o', 'l', 'd'}));
    EXPECT_EQ(zip.GetEntry(0)->ExtractToFile(out.c_str(), true), ZIP_ERROR_CREATE);
    EXPECT_EQ(ContentOf(out), "old");
    EXPECT_EQ(zip.GetEntry(0)->ExtractToFile(out.c_str(), false), ZIP_OK);
    EXPECT_EQ(ContentOf(out), "top");
    // Folders of an explicit path are created first.
    const std::wstring nested = folder / L"a\\b/c.txt";
    EXPECT_EQ(zip.GetEntry(0)->ExtractToFile(nested.c_str(), true), ZIP_OK);
    EXPECT_EQ(ContentOf(folder / L"a\\b\\c.txt"), "top");
}

TEST(ExtractToFile, OwnNameGoesBelowTheCurrentFolder) {
    TempFolder folder;
    const std::wstring archive = WriteArchive(folder, BuildZip(TreeMembers()));
    TempFolder work;
    CurrentFolderScope scope(work.path());
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(archive.c_str()), ZIP_OK);
    EXPECT_EQ(zip.GetEntry(1)->ExtractToFile(nullptr, false), ZIP_OK); // "docs/"
    EXPECT_TRUE(IsFolder(work / L"docs"));
    EXPECT_EQ(zip.GetEntry(3)->ExtractToFile(nullptr, false), ZIP_OK);
    EXPECT_TRUE(ContentOf(work / L"deep\\er\\still\\file.bin") == TreeMembers()[3].data);
}

TEST(ExtractAll, DirectoryEntryBlockedByAFileFails) {
    TempFolder folder;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(
                  WriteArchive(folder, BuildZip({Member("docs/", ""), Member("x", "1")})).c_str()),
              ZIP_OK);
    const std::wstring out = folder / L"out";
    ASSERT_TRUE(CreateDirectoryW(out.c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(out + L"\\docs", {'f'}));
    EXPECT_EQ(zip.ExtractAll(out.c_str(), nullptr, nullptr), ZIP_ERROR_READ);
    EXPECT_FALSE(PathExists(out + L"\\x"));
}
