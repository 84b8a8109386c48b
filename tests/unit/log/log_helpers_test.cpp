// The small file, time, module and text helpers that the log uses.
#include "bounded_text.h"
#include "file_helpers.h"
#include "log_test_support.h"
#include "module_info.h"
#include "temporary_name.h"
#include "time_format.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>

using logtest::PathExists;
using logtest::TempFolder;

namespace {

// Changes the current folder for one test.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::wstring& folder) {
        GetCurrentDirectoryW(MAX_PATH, old_);
        SetCurrentDirectoryW(folder.c_str());
    }
    ~ScopedCurrentFolder() { SetCurrentDirectoryW(old_); }

private:
    wchar_t old_[MAX_PATH] = {};
};

} // namespace

TEST(CreateFolderPath, CreatesEveryMissingLevel) {
    TempFolder folder;
    struct Case {
        std::wstring given;
        std::wstring created;
    };
    const Case cases[] = {
        {folder / L"a\\b\\c\\", folder / L"a\\b\\c"},
        {folder / L"mixed/seps\\\\double/", folder / L"mixed\\seps\\double"},
        // The last component is a folder too, with or without the closing separator.
        {folder / L"no\\closing", folder / L"no\\closing"},
    };
    for (const Case& c : cases) {
        CreateFolderPath(c.given.c_str());
        const DWORD attributes = GetFileAttributesW(c.created.c_str());
        EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << c.created;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << c.created;
    }
    CreateFolderPath((folder / L"a\\b\\").c_str()); // existing levels are fine
    CreateFolderPath(nullptr);
    CreateFolderPath(L"");
}

TEST(CreateFolderPath, RelativeFoldersStayRelative) {
    TempFolder folder;
    ScopedCurrentFolder current(folder.path());
    CreateFolderPath(L"rel\\sub\\");
    EXPECT_TRUE(PathExists(folder / L"rel\\sub"));
    // Nothing may appear at the drive's root for a relative folder.
    EXPECT_FALSE(PathExists(L"C:\\rel"));
}

TEST(FileExists, FilesAndFoldersExistMissingPathsDoNot) {
    TempFolder folder;
    logtest::WriteFileBytes(folder / L"f.txt", "x");
    logtest::WriteFileBytes(folder / L"caf\u00e9 \u4e2d.txt", "x");
    EXPECT_EQ(FileExists((folder / L"f.txt").c_str()), 1);
    EXPECT_EQ(FileExists(folder.path().c_str()), 1);
    EXPECT_EQ(FileExists((folder / L"caf\u00e9 \u4e2d.txt").c_str()), 1);
    EXPECT_EQ(FileExists((folder / L"missing.txt").c_str()), 0);
    EXPECT_EQ(FileExists(L""), 0);
    EXPECT_EQ(FileExists(nullptr), 0);
}

TEST(MakeTemporaryName, FormsANameWithTwoPeriodsAndCreatesNoFile) {
    TempFolder folder;
    ScopedCurrentFolder current(folder.path());
    wchar_t name[256] = {};
    ASSERT_EQ(MakeTemporaryName(L"_VX", name, 256), 1);
    EXPECT_TRUE(std::regex_match(std::wstring(name),
                                 std::wregex(L"_VX[0-9A-Fa-f]{1,4}\\.\\.tmp", std::regex::icase)))
        << name;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder / L"*.tmp").c_str(), &entry);
    EXPECT_EQ(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);

    // Too small for the name: the output keeps what it held.
    wchar_t small[6] = L"keep";
    EXPECT_EQ(MakeTemporaryName(L"_VX", small, 6), 0);
    EXPECT_STREQ(small, L"keep");
}

TEST(FormatLocalTime, TwentyFourHourTimeWithoutMarker) {
    wchar_t text[255] = {};
    ASSERT_EQ(FormatLocalTime(text, 255), 1);
    EXPECT_TRUE(std::regex_match(std::wstring(text), std::wregex(L"[0-9]{1,2}:[0-9]{2}:[0-9]{2}")))
        << text;
    wchar_t tiny[3] = L"ab";
    EXPECT_EQ(FormatLocalTime(tiny, 3), 0);
    EXPECT_STREQ(tiny, L"");
}

TEST(FormatLocalDateTime, ShortDateThenTime) {
    wchar_t text[255] = {};
    ASSERT_EQ(FormatLocalDateTime(text, 255), 1);
    wchar_t date[64] = {};
    ASSERT_GT(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64), 0);
    const std::wstring value(text);
    EXPECT_EQ(value.rfind(std::wstring(date) + L" ", 0), 0u) << value;
    EXPECT_TRUE(std::regex_search(value, std::wregex(L" [0-9]{1,2}:[0-9]{2}:[0-9]{2}$"))) << value;
}

TEST(ModuleInfo, FileNameOnlyAndMissingVersion) {
    wchar_t name[260] = {};
    ASSERT_EQ(GetModuleFileNameOnly(name, 260), 1);
    EXPECT_STREQ(name, L"log_test.exe");
    wchar_t tooSmall[5] = {};
    EXPECT_EQ(GetModuleFileNameOnly(tooSmall, 5), 0);
    EXPECT_STREQ(tooSmall, L"");

    // This program has no version resource; the writer helper has one (see the session test
    // in the concurrency suite).
    wchar_t version[32] = L"untouched";
    EXPECT_EQ(GetModuleVersionText(version, 32), 0);
    EXPECT_STREQ(version, L"untouched");
    wchar_t small[9] = L"kept";
    EXPECT_EQ(GetModuleVersionText(small, 9), 0);
    EXPECT_STREQ(small, L"kept");
}

TEST(BoundedText, RefusesWhatDoesNotFit) {
    wchar_t buffer[6] = L"junk";
    EXPECT_TRUE(zor::CopyText(buffer, 6, L"12345"));
    EXPECT_STREQ(buffer, L"12345");
    EXPECT_FALSE(zor::CopyText(buffer, 6, L"123456"));
    EXPECT_STREQ(buffer, L"");
    EXPECT_TRUE(zor::FormatText(buffer, 6, L"%s%d", L"ab", 123));
    EXPECT_STREQ(buffer, L"ab123");
    // Exactly filling the buffer would leave no room for the terminator.
    EXPECT_FALSE(zor::FormatText(buffer, 6, L"%s%d", L"ab", 1234));
    EXPECT_STREQ(buffer, L"");
    EXPECT_FALSE(zor::FormatText(buffer, 0, L"x"));
}
