// Component registration against the real registry and file system: which sub-key receives
// the record, what is pruned, the exact values and log lines, and the refusals.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "component_registration.h"
#include "cppkg.h"
#include "registry_fixture.h"
#include "temp_folder.h"
#include "win_handles.h"

namespace zor::test {
namespace {

using Names = std::vector<std::wstring>;

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::wstring SystemDrive() {
    wchar_t drive[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"SystemDrive", drive, MAX_PATH);
    return drive;
}

std::wstring CopyFolder() {
    return SystemDrive() + L"\\RIDEZEZER\\vxxml\\";
}

// Runs registration with the extraction folder as the current folder (as the install sequence
// does), holding a definition member; the copy it leaves is removed at the end.
class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        ::GetCurrentDirectoryW(MAX_PATH, saved_);
        ASSERT_TRUE(::SetCurrentDirectoryW(extraction_.path().c_str()));
        member_ = L"vxtest" + std::to_wstring(::GetCurrentProcessId()) + L".xml";
        ASSERT_TRUE(WriteFileBytes(extraction_ / member_, {'<', 'x', '/', '>'}));
    }
    void TearDown() override {
        ::SetCurrentDirectoryW(saved_);
        ::DeleteFileW((CopyFolder() + member_).c_str());
    }

    ComponentRegistration Component(const std::wstring& fileName,
                                    const std::wstring& expectedPath) const {
        return ComponentRegistration{key_.name(), {fileName, expectedPath}};
    }
    int Record(const ComponentRegistration& component, int32_t result = 1) {
        return RecordComponent(component, &log_, member_.c_str(), result);
    }

    TempFolder extraction_{L"rg"};
    TestSoftwareKey key_;
    RecordingLog log_;
    std::wstring member_;
    wchar_t saved_[MAX_PATH] = {};
};

TEST_F(Registration, ResultsOtherThanInstalledRecordNothing) {
    for (int32_t result : {0, 3, 3010, -1}) {
        EXPECT_EQ(Record(Component(L"pkg.exe", L"path"), result), 1) << result;
    }
    EXPECT_FALSE(key_.Exists());
    EXPECT_FALSE(PathExists(CopyFolder() + member_));
    EXPECT_TRUE(log_.entries.empty());
}

TEST_F(Registration, FirstRecordGoesToSubKeyZeroWithExactValuesAndLogLines) {
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    ASSERT_EQ(Record(Component(L"pkg.exe", L"FIRMWARE:SYSTEM\\rom"), 2), 1);

    EXPECT_EQ(key_.SubKeys(), Names{L"0"});
    std::map<std::wstring, DWORD> sizes;
    const auto values = key_.Values(L"0", &sizes);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values.at(L"ComponentXmlPath"), L"\\RIDEZEZER\\vxxml\\");
    EXPECT_EQ(values.at(L"ComponentFileName"), L"pkg.exe");
    EXPECT_EQ(values.at(L"ComponentKeyExpectedPath"), L"FIRMWARE:SYSTEM\\rom");
    // Each value is stored whole with its terminating null.
    EXPECT_EQ(sizes.at(L"ComponentFileName"), (7u + 1) * sizeof(wchar_t));
    EXPECT_EQ(sizes.at(L"ComponentXmlPath"), (17u + 1) * sizeof(wchar_t));

    // Short date of the system locale, "-", then the time with a 24-hour clock.
    wchar_t today[256] = {};
    ::GetDateFormatW(LOCALE_SYSTEM_DEFAULT, DATE_SHORTDATE, &before, nullptr, today, 256);
    const std::wstring installTime = values.at(L"InstallTime");
    ASSERT_EQ(installTime.compare(0, wcslen(today) + 1, std::wstring(today) + L"-"), 0)
        << Narrow(installTime);
    std::wsmatch clock;
    const std::wstring timePart = installTime.substr(wcslen(today) + 1);
    ASSERT_TRUE(std::regex_search(timePart, clock, std::wregex(L"^(\\d{1,2}):\\d\\d:\\d\\d")))
        << Narrow(installTime);
    const int hour = std::stoi(clock[1].str());
    EXPECT_TRUE(hour == before.wHour || hour == (before.wHour + 1) % 24) << hour;

    // The definition was copied.
    std::vector<unsigned char> copy;
    EXPECT_TRUE(ReadFileBytes(CopyFolder() + member_, copy));
    EXPECT_EQ(copy, (std::vector<unsigned char>{'<', 'x', '/', '>'}));

    const std::wstring folder = CopyFolder();
    const std::wstring keyPath = L"Software\\Arvex-Tellam\\Version Control\\"
                                 L"ArvexRevisionManagement\\" +
                                 key_.name();
    ASSERT_EQ(log_.entries.size(), 4u);
    const struct {
        int type;
        std::wstring text;
    } expected[] = {
        {kLogVerboseOnly, L"    - Copying component definition XML to " + folder + L"..."},
        {kLogVerboseContinue, L"Done.\r\n"},
        {kLogVerboseOnly, L"    - Creating registry key HKLM\\" + keyPath + L"..."},
        {kLogVerboseContinue, L"Done.\r\n"},
    };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(log_.entries[i].type, expected[i].type) << i;
        EXPECT_EQ(log_.entries[i].severity, kLogInfo) << i;
        EXPECT_EQ(log_.entries[i].source, L"stub.cpp") << i;
        EXPECT_EQ(log_.entries[i].text, expected[i].text) << i;
    }
}

// Which sub-key receives the record and which others remain, for records already present.
// "this" records name the package's file or its expected path; the others belong to other
// packages.
TEST_F(Registration, ChoosesTheSubKeyAndPrunesDuplicates) {
    const std::wstring file = L"pkg.exe";
    const std::wstring path = L"FIRMWARE:SYSTEM\\pkg";
    struct Case {
        const char* what;
        std::vector<PlantedRecord> planted;
        ComponentIdentity identity;
        std::wstring target;
        Names remaining;
    };
    const std::vector<Case> cases = {
        {"two other components",
         {{L"0", L"a.exe", L"A"}, {L"1", L"b.exe", L"B"}},
         {file, path},
         L"2",
         {L"0", L"1", L"2"}},
        {"zero holds this by file name", {{L"0", file, L"old path"}}, {file, path}, L"0", {L"0"}},
        {"zero holds this by expected path",
         {{L"0", L"renamed.exe", path}},
         {file, path},
         L"0",
         {L"0"}},
        {"another in zero, this in one",
         {{L"0", L"a.exe", L"A"}, {L"1", file, path}},
         {file, path},
         L"1",
         {L"0", L"1"}},
        {"this twice after another",
         {{L"0", L"a.exe", L"A"}, {L"1", file, path}, {L"2", L"x.exe", path}},
         {file, path},
         L"1",
         {L"0", L"1"}},
        {"this in zero and one",
         {{L"0", file, path}, {L"1", file, L""}},
         {file, path},
         L"0",
         {L"0"}},
        {"lowest number, not first listed",
         {{L"10", file, path}, {L"2", file, path}},
         {file, path},
         L"2",
         {L"2"}},
        {"letter case differs",
         {{L"0", L"PKG.EXE", L"firmware:system\\pkg"}},
         {file, path},
         L"1",
         {L"0", L"1"}},
        {"gap at zero", {{L"1", L"a.exe", L"A"}}, {file, path}, L"0", {L"0", L"1"}},
        {"both lack the texts", {{L"0", L"", L""}}, {L"", L""}, L"1", {L"0", L"1"}},
        {"same empty file name, other path", {{L"0", L"", L"A"}}, {L"", path}, L"1", {L"0", L"1"}},
    };
    for (const Case& c : cases) {
        TestSoftwareKey key;
        for (const PlantedRecord& record : c.planted)
            key.Plant(record, L"planted");
        const std::map<std::wstring, std::map<std::wstring, std::wstring>> before = [&] {
            std::map<std::wstring, std::map<std::wstring, std::wstring>> all;
            for (const std::wstring& name : key.SubKeys())
                all[name] = key.Values(name);
            return all;
        }();

        EXPECT_EQ(RecordComponent({key.name(), c.identity}, nullptr, member_.c_str(), 1), 1)
            << c.what;
        EXPECT_EQ(key.SubKeys(), c.remaining) << c.what;
        const auto written = key.Values(c.target);
        EXPECT_EQ(written.count(L"ComponentFileName") ? written.at(L"ComponentFileName") : L"?",
                  c.identity.fileName)
            << c.what;
        EXPECT_EQ(written.count(L"ComponentKeyExpectedPath")
                      ? written.at(L"ComponentKeyExpectedPath")
                      : L"?",
                  c.identity.expectedPath)
            << c.what;
        EXPECT_NE(written.count(L"InstallTime") ? written.at(L"InstallTime") : L"planted",
                  L"planted")
            << c.what;
        // Records of other components are left exactly as they were.
        for (const std::wstring& name : c.remaining)
            if (name != c.target && before.count(name)) {
                EXPECT_EQ(key.Values(name), before.at(name)) << c.what << " " << Narrow(name);
            }
    }
}

// Without a key name of its own the package would write among the other packages' keys.
TEST_F(Registration, WithoutAUsableKeyNameOnlyTheDefinitionIsCopied) {
    for (const std::wstring& keyName : {std::wstring(), std::wstring(L"Other\\0")}) {
        log_.entries.clear();
        const DWORD sharedBefore = SharedKeyCount();
        ASSERT_EQ(Record({keyName, {L"pkg.exe", L"path"}}), 1);
        EXPECT_EQ(SharedKeyCount(), sharedBefore);
        EXPECT_TRUE(PathExists(CopyFolder() + member_));
        ASSERT_EQ(log_.entries.size(), 3u);
        EXPECT_EQ(log_.entries[2].type, kLogBoth);
        EXPECT_EQ(log_.entries[2].severity, kLogWarning);
        EXPECT_EQ(log_.entries[2].text,
                  L"No usable software key name in the component definition; the registry "
                  L"record was not written.\r\n");
        ::DeleteFileW((CopyFolder() + member_).c_str());
    }
}

// A package object without any of the texts: everything counts as empty, nothing breaks.
TEST_F(Registration, EmptyPackageObjectRecordsNoRegistryEntry) {
    const CPPkg package;
    const ComponentRegistration component = RegistrationOf(package);
    EXPECT_TRUE(component.swKeyName.empty());
    EXPECT_TRUE(component.identity.fileName.empty());
    EXPECT_TRUE(component.identity.expectedPath.empty());
    const DWORD sharedBefore = SharedKeyCount();
    EXPECT_EQ(UpdateComponentData(package, nullptr, member_.c_str(), 1), 1);
    EXPECT_EQ(SharedKeyCount(), sharedBefore);
}

TEST_F(Registration, DefinitionCopyStaysInsideTheCopyFolder) {
    ASSERT_TRUE(MakeFolder(extraction_ / L"sub"));
    ASSERT_TRUE(WriteFileBytes(extraction_ / (L"sub\\" + member_), {'s'}));
    ASSERT_EQ(Record(Component(L"pkg.exe", L"")), 1);
    // A member inside a folder is copied under its file name.
    ::DeleteFileW((CopyFolder() + member_).c_str());
    ASSERT_EQ(RecordComponent(Component(L"pkg.exe", L""), nullptr, (L"sub/" + member_).c_str(), 1),
              1);
    std::vector<unsigned char> copy;
    EXPECT_TRUE(ReadFileBytes(CopyFolder() + member_, copy));
    EXPECT_EQ(copy, std::vector<unsigned char>{'s'});
    ::DeleteFileW((CopyFolder() + member_).c_str());

    // A member that points outside the extraction folder is not copied; neither is one that
    // was not found (empty name). The record is still written.
    ASSERT_TRUE(::SetCurrentDirectoryW((extraction_ / L"sub").c_str()));
    for (const std::wstring& member : {L"..\\" + member_, std::wstring(), extraction_ / member_}) {
        EXPECT_EQ(RecordComponent(Component(L"pkg.exe", L""), nullptr, member.c_str(), 1), 1)
            << Narrow(member);
        EXPECT_FALSE(PathExists(CopyFolder() + member_)) << Narrow(member);
    }
    EXPECT_EQ(key_.SubKeys(), Names{L"0"});
}

TEST_F(Registration, FolderThatCannotBeCreatedFailsWithItsLogLines) {
    const DWORD drives = ::GetLogicalDrives();
    wchar_t missing = 0;
    for (wchar_t letter = L'Z'; letter >= L'D' && !missing; --letter)
        if (!(drives & (1u << (letter - L'A'))))
            missing = letter;
    ASSERT_NE(missing, 0);
    const std::wstring drive = SystemDrive();
    const std::wstring bogus = std::wstring(1, missing) + L":";
    ::SetEnvironmentVariableW(L"SystemDrive", bogus.c_str());
    const int outcome = Record(Component(L"pkg.exe", L"path"));
    ::SetEnvironmentVariableW(L"SystemDrive", drive.c_str());

    EXPECT_EQ(outcome, 0);
    EXPECT_FALSE(key_.Exists());
    const std::wstring folder = bogus + L"\\RIDEZEZER\\vxxml\\";
    ASSERT_EQ(log_.entries.size(), 3u);
    EXPECT_EQ(log_.entries[1].type, kLogVerboseContinue);
    EXPECT_EQ(log_.entries[1].text, L"Failed! - Unabled to create directory\r\n");
    EXPECT_EQ(log_.entries[2].type, kLogNormalOnly);
    EXPECT_EQ(log_.entries[2].severity, kLogError);
    EXPECT_EQ(log_.entries[2].text, L"Failed to update component data...\r\n    - Unable to copy "
                                    L"component definition XML to " +
                                        folder + L"\r\n");
}

TEST_F(Registration, KeyThatCannotBeCreatedFailsWithItsLogLines) {
    // Longer than the registry allows for one key name.
    const std::wstring keyName(300, L'k');
    EXPECT_EQ(Record({keyName, {L"pkg.exe", L"path"}}), 0);
    ASSERT_EQ(log_.entries.size(), 5u);
    const std::wstring keyPath =
        L"Software\\Arvex-Tellam\\Version Control\\ArvexRevisionManagement\\" + keyName;
    EXPECT_EQ(log_.entries[3].text, L"Failed!\r\n");
    EXPECT_EQ(log_.entries[4].type, kLogNormalOnly);
    EXPECT_EQ(log_.entries[4].severity, kLogError);
    EXPECT_EQ(log_.entries[4].text,
              L"Failed to update component data...\r\n    - Unable to update registry HKLM\\" +
                  keyPath + L"\r\n");
}

// Stored values that are not plain texts never match and never break the walk.
TEST_F(Registration, HostileStoredValuesDoNotMatch) {
    key_.Plant({L"0", L"a.exe", L"A"});
    RegKey zero;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (key_.path() + L"\\0").c_str(), 0,
                              KEY_ALL_ACCESS | KEY_WOW64_64KEY, zero.put()),
              ERROR_SUCCESS);
    // The package's file name without a terminator and as binary data, and an expected path
    // longer than any compared text.
    const std::wstring file = L"pkg.exe";
    ::RegSetValueExW(zero.get(), L"ComponentFileName", 0, REG_BINARY,
                     reinterpret_cast<const BYTE*>(file.c_str()),
                     static_cast<DWORD>(file.size() * sizeof(wchar_t)));
    const std::wstring huge(5000, L'p');
    ::RegSetValueExW(zero.get(), L"ComponentKeyExpectedPath", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(huge.c_str()),
                     static_cast<DWORD>((huge.size() + 1) * sizeof(wchar_t)));
    zero.reset();
    ASSERT_EQ(Record(Component(file, huge)), 1);
    EXPECT_EQ(key_.SubKeys(), (Names{L"0", L"1"}));

    // Without the terminator a stored text still compares as the text it holds.
    key_.Plant({L"5", L"", L""});
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (key_.path() + L"\\5").c_str(), 0,
                              KEY_ALL_ACCESS | KEY_WOW64_64KEY, zero.put()),
              ERROR_SUCCESS);
    const std::wstring other = L"other.exe";
    ::RegSetValueExW(zero.get(), L"ComponentFileName", 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(other.c_str()),
                     static_cast<DWORD>(other.size() * sizeof(wchar_t)));
    zero.reset();
    ASSERT_EQ(Record(Component(other, L"")), 1);
    EXPECT_EQ(key_.SubKeys(), (Names{L"0", L"1", L"5"}));
    EXPECT_EQ(key_.Values(L"5").at(L"ComponentFileName"), other);
}

} // namespace
} // namespace zor::test
