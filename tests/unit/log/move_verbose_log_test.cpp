// MoveVerboseLog: renaming into a free target, merging into an existing one, and the cases
// that must leave the log as it is.
#include "cmp_log.h"
#include "log_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

using logtest::NormalLogWatch;
using logtest::PathExists;
using logtest::ReadFileBytes;
using logtest::TempFolder;

namespace {

struct MovableLog {
    MovableLog() : log(new CCmpLog(L"old.log", folder.path().c_str())) {
        log->SetVerbose(1);
        EXPECT_EQ(log->Open(), CCmpLog::kOk);
    }
    ~MovableLog() { log->Close(); }
    void Note(const wchar_t* text) { log->Write(kLogVerboseContinue, kLogInfo, L"a.cpp", 1, text); }

    NormalLogWatch normal;
    TempFolder folder;
    std::unique_ptr<CCmpLog, CCmpLog::Deleter> log;
};

} // namespace

TEST(MoveVerboseLog, RenamesIntoAFreeTargetAndKeepsLogging) {
    MovableLog m;
    m.Note(L"before\r\n");
    CreateDirectoryW((m.folder / L"new").c_str(), nullptr);
    // The folder is given without its closing backslash; the record keeps one.
    m.log->MoveVerboseLog(L"renamed.log", (m.folder / L"new").c_str());
    m.Note(L"after\r\n");
    EXPECT_STREQ(m.log->GetVerboseLogName(), L"renamed.log");
    EXPECT_EQ(std::wstring(m.log->GetVerboseLogFolder()), m.folder / L"new\\");
    EXPECT_FALSE(PathExists(m.folder / L"old.log"));
    EXPECT_EQ(ReadFileBytes(m.folder / L"new\\renamed.log"), "before\r\nafter\r\n");
}

TEST(MoveVerboseLog, MergesIntoAnExistingTargetAndDeletesTheOldFile) {
    MovableLog m;
    logtest::WriteFileBytes(m.folder / L"host.log", "host line\r\n");
    m.Note(L"plug-in line\r\n");
    m.log->MoveVerboseLog(L"host.log", m.folder.path().c_str());
    m.Note(L"shared line\r\n");
    EXPECT_STREQ(m.log->GetVerboseLogName(), L"host.log");
    EXPECT_FALSE(PathExists(m.folder / L"old.log"));
    EXPECT_EQ(ReadFileBytes(m.folder / L"host.log"),
              "host line\r\nplug-in line\r\nshared line\r\n");
}

TEST(MoveVerboseLog, CasesThatLeaveEverythingAsItWas) {
    struct Case {
        const char* what;
        const wchar_t* name;
        std::wstring folder;     // relative to the test folder unless absolute
        const char* targetBytes; // content of an existing target, or null for none
        bool emptyCurrent;
    };
    const Case cases[] = {
        {"null name", nullptr, L"", nullptr, false},
        {"empty name", L"", L"", nullptr, false},
        {"same name and folder", L"old.log", L"", nullptr, false},
        // Another spelling of the same file must not append the log to itself.
        {"same file, other case", L"OLD.LOG", L"", nullptr, false},
        {"current file empty", L"host.log", L"", "host\r\n", true},
        // The rename fails; logging stays in the file the record names.
        {"target folder missing", L"x.log", L"missing\\", nullptr, false},
    };
    for (const Case& c : cases) {
        MovableLog m;
        if (!c.emptyCurrent)
            m.Note(L"mine\r\n");
        if (c.targetBytes)
            logtest::WriteFileBytes(m.folder / L"host.log", c.targetBytes);
        m.log->MoveVerboseLog(c.name, (m.folder.path() + c.folder).c_str());
        m.Note(L"later\r\n");
        EXPECT_STREQ(m.log->GetVerboseLogName(), L"old.log") << c.what;
        EXPECT_EQ(std::wstring(m.log->GetVerboseLogFolder()), m.folder.path()) << c.what;
        EXPECT_EQ(ReadFileBytes(m.folder / L"old.log"),
                  c.emptyCurrent ? "later\r\n" : "mine\r\nlater\r\n")
            << c.what;
        if (c.targetBytes) {
            EXPECT_EQ(ReadFileBytes(m.folder / L"host.log"), c.targetBytes) << c.what;
        }
    }
}

TEST(MoveVerboseLog, ExistingTargetWithoutAnOpenVerboseFileIsLeftAlone) {
    NormalLogWatch normal;
    TempFolder folder;
    logtest::WriteFileBytes(folder / L"old.log", "old\r\n");
    logtest::WriteFileBytes(folder / L"host.log", "host\r\n");
    CCmpLog log(L"old.log", folder.path().c_str()); // verbose off: the file is never opened
    ASSERT_EQ(log.Open(), CCmpLog::kOk);
    log.MoveVerboseLog(L"host.log", folder.path().c_str());
    EXPECT_STREQ(log.GetVerboseLogName(), L"old.log");
    EXPECT_EQ(ReadFileBytes(folder / L"host.log"), "host\r\n");
    EXPECT_EQ(ReadFileBytes(folder / L"old.log"), "old\r\n");
    EXPECT_EQ(log.Close(), CCmpLog::kOk);
}
