// Folders of the install sequence on the real file system: the extraction folder, creating a
// folder with its parents, and removing a tree, including what cannot be removed at once and
// links that lead out of the tree.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <regex>
#include <string>

#include "folder_link.h"
#include "folder_tree.h"
#include "pending_removals.h"
#include "temp_folder.h"
#include "win_handles.h"

namespace zor::test {
namespace {

bool IsFolderAt(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteText(const std::wstring& path, const char* text) {
    ASSERT_TRUE(WriteFileBytes(path, std::vector<unsigned char>(text, text + strlen(text))))
        << "fixture file " << std::string(path.begin(), path.end());
}

// A path of `length` characters below `base` (made of one long folder name per 200 characters).
std::wstring PathOfLength(const std::wstring& base, size_t length) {
    std::wstring path = base;
    while (path.size() < length) {
        const size_t chunk = std::min<size_t>(200, length - path.size() - 1);
        path += L"\\" + std::wstring(chunk, L'x');
    }
    return path.substr(0, length);
}

// Removes whatever a test left scheduled for the next restart under its folder.
class PendingCleanup {
public:
    explicit PendingCleanup(const std::wstring& folder) : folder_(folder) {}
    ~PendingCleanup() { ForgetPendingOperationsUnder(folder_); }

private:
    std::wstring folder_;
};

TEST(CreateDirectoryTree, CreatesMissingParentsAndReportsExistingFolders) {
    TempFolder scratch(L"ct");
    WriteText(scratch / L"plain.txt", "file");
    struct Case {
        const wchar_t* relative;
        bool result;
        bool existed;
    };
    const Case cases[] = {
        {L"a\\b\\c", true, false},         // three missing levels
        {L"a\\b\\c", true, true},          // the same folder again
        {L"d\\e\\", true, false},          // trailing backslash
        {L"a", true, true},                // a parent created above
        {L"plain.txt", false, true},       // a file of that name is not a folder
        {L"plain.txt\\sub", false, false}, // below a file
    };
    for (const Case& c : cases) {
        const std::wstring path = scratch / c.relative;
        bool existed = !c.existed;
        EXPECT_EQ(CreateDirectoryTree(path.c_str(), existed), c.result) << c.relative;
        EXPECT_EQ(existed, c.existed) << c.relative;
        if (c.result) {
            EXPECT_TRUE(IsFolderAt(path)) << c.relative;
        }
    }
}

TEST(CreateDirectoryTree, RefusesPathsThatDoNotFitAndMissingDrives) {
    TempFolder scratch(L"cl");
    bool existed = true;
    const std::wstring tooLong = PathOfLength(scratch.path(), kFolderPathCapacity);
    EXPECT_FALSE(CreateDirectoryTree(tooLong.c_str(), existed));
    EXPECT_FALSE(existed);
    EXPECT_FALSE(PathExists(scratch / std::wstring(200, L'x')));

    const std::wstring longest = PathOfLength(scratch.path(), kFolderPathCapacity - 1);
    EXPECT_TRUE(CreateDirectoryTree(longest.c_str(), existed));
    EXPECT_TRUE(IsFolderAt(longest));

    EXPECT_FALSE(CreateDirectoryTree(L"", existed));

    // A drive letter the machine does not have.
    const DWORD drives = ::GetLogicalDrives();
    wchar_t missing = 0;
    for (wchar_t letter = L'Z'; letter >= L'D' && !missing; --letter)
        if (!(drives & (1u << (letter - L'A'))))
            missing = letter;
    ASSERT_NE(missing, 0);
    const std::wstring onMissingDrive = std::wstring(1, missing) + L":\\zor\\sub";
    EXPECT_FALSE(CreateDirectoryTree(onMissingDrive.c_str(), existed));
}

TEST(CreateExtractionFolder, MakesAGuidNamedFolderInTheTemporaryFolder) {
    wchar_t temporary[MAX_PATH + 1] = {};
    ASSERT_GT(::GetTempPathW(MAX_PATH + 1, temporary), 0u);
    std::wstring base = temporary;
    if (base.back() != L'\\')
        base += L'\\';

    wchar_t first[kFolderPathCapacity] = {};
    wchar_t second[kFolderPathCapacity] = {};
    ASSERT_TRUE(CreateExtractionFolder(first, kFolderPathCapacity));
    ASSERT_TRUE(CreateExtractionFolder(second, kFolderPathCapacity));
    const std::wstring firstPath = first;
    const std::wstring secondPath = second;
    EXPECT_NE(firstPath, secondPath);
    for (const std::wstring& path : {firstPath, secondPath}) {
        ASSERT_EQ(path.compare(0, base.size(), base), 0);
        EXPECT_TRUE(std::regex_match(path.substr(base.size()),
                                     std::wregex(L"\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-"
                                                 L"[0-9A-F]{4}-[0-9A-F]{12}\\}")))
            << std::string(path.begin(), path.end());
        EXPECT_TRUE(IsFolderAt(path));
        ::RemoveDirectoryW(path.c_str());
    }

    // Too small an output buffer: nothing is created and the output stays empty.
    wchar_t tiny[8] = L"junk";
    EXPECT_FALSE(CreateExtractionFolder(tiny, 8));
    EXPECT_STREQ(tiny, L"");
}

TEST(DeleteFolderTree, RemovesNestedFoldersAndProtectedFiles) {
    TempFolder scratch(L"dt");
    for (const wchar_t* base : {L"tree", L"slash"}) {
        const std::wstring root = scratch / base;
        ASSERT_TRUE(MakeFolder(root));
        ASSERT_TRUE(MakeFolder(root + L"\\sub"));
        ASSERT_TRUE(MakeFolder(root + L"\\sub\\deeper"));
        ASSERT_TRUE(MakeFolder(root + L"\\empty"));
        WriteText(root + L"\\top.txt", "1");
        WriteText(root + L"\\sub\\deeper\\leaf.bin", "2");
        const std::wstring guarded = root + L"\\sub\\guarded.sys";
        WriteText(guarded, "3");
        ASSERT_TRUE(::SetFileAttributesW(guarded.c_str(), FILE_ATTRIBUTE_READONLY |
                                                              FILE_ATTRIBUTE_SYSTEM |
                                                              FILE_ATTRIBUTE_HIDDEN));
        ASSERT_TRUE(::SetFileAttributesW((root + L"\\sub").c_str(), FILE_ATTRIBUTE_READONLY));

        // The folder may be given with or without a trailing backslash.
        const std::wstring argument = std::wstring(base) == L"slash" ? root + L"\\" : root;
        EXPECT_TRUE(DeleteFolderTree(argument.c_str())) << base;
        EXPECT_FALSE(PathExists(root)) << base;
    }
}

TEST(DeleteFolderTree, FailsWhenTheListingCannotStartOrThePathDoesNotFit) {
    TempFolder scratch(L"df");
    EXPECT_FALSE(DeleteFolderTree((scratch / L"missing").c_str()));
    EXPECT_FALSE(DeleteFolderTree(L""));
    const std::wstring tooLong = PathOfLength(scratch.path(), kFolderPathCapacity);
    EXPECT_FALSE(DeleteFolderTree(tooLong.c_str()));
    EXPECT_TRUE(PathExists(scratch.path()));
}

TEST(DeleteFolderTree, SchedulesWhatIsInUseForTheNextRestart) {
    TempFolder scratch(L"du");
    PendingCleanup cleanup(scratch.path());
    const std::wstring root = scratch / L"busy";
    ASSERT_TRUE(MakeFolder(root));
    const std::wstring busy = root + L"\\open.dat";
    const std::wstring free = root + L"\\free.dat";
    WriteText(busy, "in use");
    WriteText(free, "not in use");
    {
        // Held open without delete sharing, as a running program holds its own file.
        FileHandle holder(::CreateFileW(busy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder.valid());
        EXPECT_TRUE(DeleteFolderTree(root.c_str()));
    }
    EXPECT_FALSE(PathExists(free));
    EXPECT_TRUE(IsPendingDeletion(busy));
    EXPECT_TRUE(IsPendingDeletion(root));
}

// A link inside the folder (a setup utility can leave one) leads to a folder outside it: the
// link goes, what it points to stays.
TEST(DeleteFolderTree, RemovesLinksWithoutFollowingThem) {
    TempFolder scratch(L"dl");
    PendingCleanup cleanup(scratch.path());
    const std::wstring outside = scratch / L"outside";
    ASSERT_TRUE(MakeFolder(outside));
    WriteText(outside + L"\\keep.txt", "precious");
    ASSERT_TRUE(MakeFolder(outside + L"\\nested"));
    WriteText(outside + L"\\nested\\keep2.txt", "precious too");

    const std::wstring root = scratch / L"extracted";
    ASSERT_TRUE(MakeFolder(root));
    WriteText(root + L"\\payload.txt", "x");
    const std::wstring inner = root + L"\\escape";
    const std::wstring direct = scratch / L"direct";
    if (!MakeFolderLink(inner, outside) || !MakeFolderLink(direct, outside))
        GTEST_SKIP() << "no folder link can be made on this system";

    EXPECT_TRUE(DeleteFolderTree(root.c_str()));
    // Given the link itself, only the link is removed.
    EXPECT_TRUE(DeleteFolderTree(direct.c_str()));

    EXPECT_TRUE(PathExists(outside + L"\\keep.txt"));
    EXPECT_TRUE(PathExists(outside + L"\\nested\\keep2.txt"));
    EXPECT_FALSE(PathExists(root + L"\\payload.txt"));
    // Wine cannot remove a host link; then it is scheduled like any other busy entry.
    EXPECT_TRUE(!PathExists(inner) || IsPendingDeletion(inner));
    EXPECT_TRUE(!PathExists(direct) || IsPendingDeletion(direct));
    EXPECT_FALSE(IsPendingDeletion(outside + L"\\keep.txt"));

    RemoveFolderLink(inner);
    RemoveFolderLink(direct);
}

TEST(RemoveExtractionFolder, RemovesOnlyAFolderThisRunCreated) {
    TempFolder scratch(L"dr");
    const std::wstring kept = scratch / L"existed";
    const std::wstring created = scratch / L"created";
    for (const std::wstring& folder : {kept, created}) {
        ASSERT_TRUE(MakeFolder(folder));
        WriteText(folder + L"\\file.txt", "x");
    }
    EXPECT_TRUE(RemoveExtractionFolder(kept.c_str(), false));
    EXPECT_TRUE(PathExists(kept + L"\\file.txt"));
    EXPECT_TRUE(RemoveExtractionFolder(created.c_str(), true));
    EXPECT_FALSE(PathExists(created));
}

} // namespace
} // namespace zor::test
