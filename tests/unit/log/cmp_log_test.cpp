// Construction, open and close, message routing and prefixes, session blocks.
#include "cmp_log.h"
#include "log_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <regex>
#include <string>

using logtest::MaskTimes;
using logtest::NormalLogWatch;
using logtest::ReadFileBytes;
using logtest::TempFolder;

namespace {

using LogPtr = std::unique_ptr<CCmpLog, CCmpLog::Deleter>;

// A verbose log in a private folder plus the shared normal log, opened.
struct OpenLog {
    explicit OpenLog(int verbose = 1) : log(new CCmpLog(L"verbose.log", folder.path().c_str())) {
        log->SetVerbose(verbose);
        EXPECT_EQ(log->Open(), CCmpLog::kOk);
    }
    ~OpenLog() { log->Close(); }
    std::string Verbose() const { return ReadFileBytes(folder / L"verbose.log"); }

    NormalLogWatch normal;
    TempFolder folder;
    LogPtr log;
};

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
        wchar_t old[MAX_PATH] = {};
        had_ = GetEnvironmentVariableW(name, old, MAX_PATH) > 0;
        old_ = old;
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }

private:
    const wchar_t* name_;
    std::wstring old_;
    bool had_ = false;
};

} // namespace

TEST(CmpLogConstruction, DefaultNamesAndFolders) {
    CCmpLog log(nullptr, L"");
    EXPECT_EQ(log.GetStatus(), CCmpLog::kOk);
    ASSERT_EQ(log.GetFileCount(), 2);
    EXPECT_EQ(log.IsVerbose(), 0);
    EXPECT_STREQ(log.GetStubVersion(), L"");
    const LogFileRecord* normal = log.GetFileRecord(CCmpLog::kNormalFile);
    EXPECT_EQ(std::wstring(normal->folder), NormalLogWatch::Folder());
    EXPECT_STREQ(normal->name, L"vazuvuda.log");
    EXPECT_EQ(normal->isOpen, 0);
    EXPECT_EQ(normal->handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::wstring(log.GetVerboseLogFolder()), NormalLogWatch::Folder());
    // "_VX", the unique number in hexadecimal, then two periods before the extension.
    EXPECT_TRUE(std::regex_match(std::wstring(log.GetVerboseLogName()),
                                 std::wregex(L"_VX[0-9A-Fa-f]{1,4}\\.\\.tmp", std::regex::icase)))
        << log.GetVerboseLogName();
}

TEST(CmpLogConstruction, VerboseFolderIsExpandedAndEndsWithBackslash) {
    ScopedEnvironment variable(L"ZORLOGTEST", L"C:\\expanded");
    CCmpLog log(L"mine.log", L"%ZORLOGTEST%\\logs");
    EXPECT_EQ(log.GetStatus(), CCmpLog::kOk);
    EXPECT_STREQ(log.GetVerboseLogFolder(), L"C:\\expanded\\logs\\");
    EXPECT_STREQ(log.GetVerboseLogName(), L"mine.log");
}

TEST(CmpLogConstruction, VerboseFolderLongerThan260StopsWithStatus104) {
    struct Case {
        std::size_t expandedLength; // characters, without the terminator
        int status;
        int records;
    };
    for (const Case& c : {Case{259, CCmpLog::kOk, 2}, Case{260, CCmpLog::kFolderTooLong, 1}}) {
        const std::wstring folder =
            L"C:\\" + std::wstring(c.expandedLength - 4, L'a') + L"\\"; // ends with a backslash
        ASSERT_EQ(folder.size(), c.expandedLength);
        CCmpLog log(L"v.log", folder.c_str());
        EXPECT_EQ(log.GetStatus(), c.status) << c.expandedLength;
        EXPECT_EQ(log.GetFileCount(), c.records) << c.expandedLength;
    }
}

TEST(CmpLogConstruction, MissingRecordsAreNeverTouched) {
    NormalLogWatch normal;
    TempFolder folder;
    {
        // Only the verbose record is missing: the normal log still works.
        CCmpLog log(L"v.log", (L"C:\\" + std::wstring(300, L'b') + L"\\").c_str());
        ASSERT_EQ(log.GetFileCount(), 1);
        log.SetVerbose(1);
        EXPECT_EQ(log.Open(), CCmpLog::kOpenFailed);
        log.Write(kLogBoth, kLogError, L"a.cpp", 1, L"kept %d\r\n", 1);
        log.MoveVerboseLog(L"x.log", folder.path().c_str());
        EXPECT_STREQ(log.GetVerboseLogName(), L"");
        EXPECT_STREQ(log.GetVerboseLogFolder(), L"");
        EXPECT_EQ(log.Close(), CCmpLog::kOk);
        EXPECT_EQ(normal.Appended(), "**ERROR** - kept 1\r\n");
    }
    // The default folder itself is too long: no record at all.
    ScopedEnvironment drive(L"SystemDrive", L"C:\\" + std::wstring(300, L'c'));
    LogPtr log(new CCmpLog(L"v.log", folder.path().c_str()));
    EXPECT_EQ(log->GetStatus(), CCmpLog::kFolderTooLong);
    EXPECT_EQ(log->GetFileCount(), 0);
    log->SetVerbose(1);
    EXPECT_EQ(log->Open(), CCmpLog::kOpenFailed);
    log->BeginSession();
    log->Write(kLogBothPlain, kLogInfo, L"a.cpp", 1, L"lost\r\n");
    log->EndSession(1);
    log->MoveVerboseLog(L"x.log", folder.path().c_str());
    EXPECT_EQ(log->Close(), CCmpLog::kOk);
    EXPECT_FALSE(logtest::PathExists(folder / L"x.log"));
}

TEST(CmpLogOpen, VerboseOffOpensOnlyTheNormalLog) {
    OpenLog open(0);
    const LogFileRecord* verbose = open.log->GetFileRecord(CCmpLog::kVerboseFile);
    EXPECT_EQ(verbose->isOpen, 0);
    EXPECT_FALSE(logtest::PathExists(open.folder / L"verbose.log"));
    EXPECT_EQ(open.log->GetFileRecord(CCmpLog::kNormalFile)->isOpen, 1);
    EXPECT_TRUE(logtest::PathExists(NormalLogWatch::Path()));

    open.log->Write(kLogVerboseOnly, kLogInfo, L"a.cpp", 1, L"one\r\n");
    open.log->Write(kLogVerboseContinue, kLogInfo, L"a.cpp", 2, L"two\r\n");
    open.log->Write(kLogBoth, kLogInfo, L"a.cpp", 3, L"three\r\n");
    EXPECT_EQ(open.normal.Appended(), "three\r\n");
    // Switching verbose on after Open does not open the verbose file; its writes are skipped.
    open.log->SetVerbose(1);
    open.log->Write(kLogBothPlain, kLogInfo, L"a.cpp", 4, L"four\r\n");
    EXPECT_EQ(open.normal.Appended(), "three\r\nfour\r\n");
    EXPECT_FALSE(logtest::PathExists(open.folder / L"verbose.log"));
}

TEST(CmpLogOpen, CreatesTheVerboseFolderLevelByLevel) {
    NormalLogWatch normal;
    TempFolder folder;
    CCmpLog log(L"v.log", (folder.path() + L"one\\two\\three\\").c_str());
    log.SetVerbose(1);
    EXPECT_EQ(log.Open(), CCmpLog::kOk);
    EXPECT_TRUE(logtest::PathExists(folder / L"one\\two\\three\\v.log"));
    EXPECT_EQ(log.Close(), CCmpLog::kOk);
}

TEST(CmpLogOpen, UnopenableVerboseFileFailsBeforeTheNormalLog) {
    NormalLogWatch normal;
    TempFolder folder;
    logtest::WriteFileBytes(folder / L"blocker", "a file where a folder should be");
    CCmpLog log(L"v.log", (folder.path() + L"blocker\\sub\\").c_str());
    log.SetVerbose(1);
    EXPECT_EQ(log.Open(), CCmpLog::kOpenFailed);
    EXPECT_EQ(log.GetFileRecord(CCmpLog::kNormalFile)->isOpen, 0);
    log.Write(kLogBothPlain, kLogError, L"a.cpp", 1, L"nowhere\r\n");
    EXPECT_EQ(normal.Appended(), "");
    EXPECT_EQ(log.Close(), CCmpLog::kOk);
}

TEST(CmpLogClose, ClosesOnceAndReportsAFailedClose) {
    OpenLog open;
    EXPECT_EQ(open.log->Close(), CCmpLog::kOk);
    // A second Close must not close the (possibly reused) handle values again.
    EXPECT_EQ(open.log->Close(), CCmpLog::kOk);
    EXPECT_EQ(open.log->GetFileRecord(CCmpLog::kNormalFile)->isOpen, 1); // flags stay

    // A handle the system refuses to close, set through the shared field as any module could.
    auto* record = const_cast<LogFileRecord*>(open.log->GetFileRecord(CCmpLog::kVerboseFile));
    record->handle = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x7FF0));
    EXPECT_EQ(open.log->Close(), CCmpLog::kCloseFailed);
    EXPECT_EQ(record->handle, INVALID_HANDLE_VALUE);
}

TEST(CmpLogWrite, TypesAndSeveritiesGoToTheirFilesWithTheirPrefixes) {
    struct Case {
        int type;
        int severity;
        const char* normal;
        const char* verbose;
    };
    const Case cases[] = {
        {0, 0, "msg\r\n", ""},
        {0, 1, "**WARNING** - msg\r\n", ""},
        {1, 0, "", "[<time>]::basecomp.cpp[42] msg\r\n"},
        {1, 3, "", "[<time>]::basecomp.cpp[42] **CRITICAL** - msg\r\n"},
        {2, 0, "", "msg\r\n"},
        {2, 2, "", "**ERROR** - msg\r\n"},
        {3, 0, "msg\r\n", "[<time>]::basecomp.cpp[42] msg\r\n"},
        {3, 1, "**WARNING** - msg\r\n", "[<time>]::basecomp.cpp[42] **WARNING** - msg\r\n"},
        {3, 2, "**ERROR** - msg\r\n", "[<time>]::basecomp.cpp[42] **ERROR** - msg\r\n"},
        {3, 3, "**CRITICAL** - msg\r\n", "[<time>]::basecomp.cpp[42] **CRITICAL** - msg\r\n"},
        {4, 0, "msg\r\n", "msg\r\n"},
        {4, 3, "**CRITICAL** - msg\r\n", "**CRITICAL** - msg\r\n"},
        // Unknown severities drop every prefix; unknown types write nowhere.
        {3, 4, "msg\r\n", "msg\r\n"},
        {4, -1, "msg\r\n", "msg\r\n"},
        {1, 9, "", "msg\r\n"},
        {5, 0, "", ""},
        {-1, 2, "", ""},
    };
    for (const Case& c : cases) {
        OpenLog open;
        open.log->Write(c.type, c.severity, L"C:\\src\\Source\\basecomp\\basecomp.cpp", 42,
                        L"%s\r\n", L"msg");
        EXPECT_EQ(open.normal.Appended(), c.normal) << c.type << "/" << c.severity;
        EXPECT_EQ(MaskTimes(open.Verbose()), c.verbose) << c.type << "/" << c.severity;
    }
}

TEST(CmpLogWrite, FormatsArgumentsAndContinuesLinesWithoutLineEnds) {
    OpenLog open;
    open.log->Write(kLogBoth, kLogInfo, L"/work/src/stub/stub.cpp", 7,
                    L"Locating %s file %d of %d... ", L"package definition", 1, 2);
    open.log->Write(kLogBothPlain, kLogInfo, L"/work/src/stub/stub.cpp", 8, L"Done.\r\n");
    EXPECT_EQ(open.normal.Appended(), "Locating package definition file 1 of 2... Done.\r\n");
    EXPECT_EQ(MaskTimes(open.Verbose()),
              "[<time>]::stub.cpp[7] Locating package definition file 1 of 2... Done.\r\n");
}

TEST(CmpLogWrite, LongMessageIsWrittenWholeAndEmptyPieceWritesNothing) {
    OpenLog open;
    const std::wstring longText(5000, L'x');
    open.log->Write(kLogBothPlain, kLogWarning, L"a.cpp", 1, L"<%s>", longText.c_str());
    const std::string expected = "**WARNING** - <" + std::string(5000, 'x') + ">";
    EXPECT_EQ(open.normal.Appended(), expected);
    EXPECT_EQ(open.Verbose(), expected);

    open.log->Write(kLogBothPlain, kLogInfo, L"a.cpp", 2, L"%s", L"");
    open.log->Write(kLogBoth, kLogInfo, L"a.cpp", 2, nullptr);
    EXPECT_EQ(open.normal.Appended(), expected);
    EXPECT_EQ(open.Verbose(), expected);
}

TEST(CmpLogWrite, TextIsWrittenInTheAnsiCodePage) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "expects the Western European ANSI code page";
    OpenLog open;
    open.log->Write(kLogNormalOnly, kLogInfo, nullptr, 0, L"caf\u00e9 \u4e2d\r\n");
    EXPECT_EQ(open.normal.Appended(), "caf\xe9 ?\r\n");
}

TEST(CmpLogSession, HeadersAndFootersHaveTheirExactTexts) {
    OpenLog open;
    open.log->SetStubVersion(L"3.4.0.0");
    open.log->BeginSession();
    open.log->EndSession(2);
    const std::string rule(75, '=');
    const std::regex date("Log Date:        [^ \r\n]+ ");
    // The test program carries no version resource, so Version stays empty.
    EXPECT_EQ(std::regex_replace(MaskTimes(open.Verbose()), date, "Log Date:        <date> "),
              rule +
                  "\r\nSource:          log_test.exe\r\nVersion:         \r\n"
                  "Stub Version:    3.4.0.0\r\nLog Date:        <date> <time>\r\n\r\n"
                  "Verbose Log Session Start ...\r\n\r\n"
                  "\r\n\r\nLog Session End. [<time>]\r\nReturn Code (2)\r\n" +
                  rule + "\r\n\r\n");
    EXPECT_EQ(
        std::regex_replace(MaskTimes(open.normal.Appended()), date, "Log Date:        <date> "),
        rule +
            "\r\nSource:          log_test.exe\r\nVersion:         \r\n"
            "Log Date:        <date> <time>\r\n\r\n"
            "Log Session Start...\r\n\r\n"
            "\r\n\r\nLog Session End. [<time>]\r\nReturn Code (2)\r\n" +
            rule + "\r\n\r\n");
}

TEST(CmpLogSession, SecondRunAppendsToTheSameFiles) {
    NormalLogWatch normal;
    TempFolder folder;
    for (int run = 1; run <= 2; ++run) {
        LogPtr log(new CCmpLog(L"v.log", folder.path().c_str()));
        log->SetVerbose(1);
        ASSERT_EQ(log->Open(), CCmpLog::kOk);
        log->BeginSession();
        log->Write(kLogBothPlain, kLogInfo, L"a.cpp", 1, L"run %d\r\n", run);
        log->EndSession(run);
        EXPECT_EQ(log->Close(), CCmpLog::kOk);
    }
    for (const std::string& text : {ReadFileBytes(folder / L"v.log"), normal.Appended()}) {
        const std::size_t first = text.find("run 1\r\n");
        const std::size_t second = text.find("run 2\r\n");
        EXPECT_NE(first, std::string::npos);
        EXPECT_NE(second, std::string::npos);
        EXPECT_LT(first, second);
        EXPECT_NE(text.find("Return Code (1)"), std::string::npos);
        EXPECT_NE(text.find("Return Code (2)"), std::string::npos);
    }
}
