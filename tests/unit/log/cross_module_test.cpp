// A log object made by one module and driven by another through its virtual slots and fields:
// the test program and log_peer.dll each link their own copy of the log.
#include "cmp_log.h"
#include "cmp_log_layout.h"
#include "log_test_support.h"
#include "win_handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using logtest::MaskTimes;
using logtest::NormalLogWatch;
using logtest::ReadFileBytes;
using logtest::TempFolder;

namespace {

using CreateLogFn = CCmpLog* (*)(const wchar_t*, const wchar_t*);
using UseLogFn = int (*)(CCmpLog*, const wchar_t*);

struct Peer {
    Peer() : module(LoadLibraryW(L"log_peer.dll")) {
        if (!module)
            return;
        create = reinterpret_cast<CreateLogFn>(
            reinterpret_cast<void*>(GetProcAddress(module.get(), "PeerCreateLog")));
        use = reinterpret_cast<UseLogFn>(
            reinterpret_cast<void*>(GetProcAddress(module.get(), "PeerUseLog")));
    }
    zor::ModuleHandle module;
    CreateLogFn create = nullptr;
    UseLogFn use = nullptr;
};

// The module whose code the object's virtual table belongs to.
HMODULE VirtualTableOwner(const CCmpLog* log) {
    const void* table = *reinterpret_cast<void* const*>(log);
    HMODULE owner = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(table), &owner);
    return owner;
}

// Calls slots by index, as a module built by another compiler does (x64 calling convention).
void* const* Slots(CCmpLog* log) {
    return *reinterpret_cast<void* const* const*>(log);
}
template <typename Fn> Fn Slot(CCmpLog* log, int index) {
    return reinterpret_cast<Fn>(Slots(log)[index]);
}

} // namespace

TEST(CrossModule, PeerDrivesALogMadeByTheProgram) {
    Peer peer;
    ASSERT_TRUE(peer.module && peer.use);
    NormalLogWatch normal;
    TempFolder folder;
    auto* log = new CCmpLog(L"host.log", folder.path().c_str());
    EXPECT_EQ(VirtualTableOwner(log), GetModuleHandleW(nullptr));
    log->SetVerbose(1);
    ASSERT_EQ(log->Open(), CCmpLog::kOk);
    log->Write(kLogVerboseContinue, kLogInfo, nullptr, 0, L"host first\r\n");

    EXPECT_EQ(peer.use(log, L"moved.log"), 1);
    log->Write(kLogVerboseContinue, kLogInfo, nullptr, 0, L"host last\r\n");
    EXPECT_STREQ(log->GetVerboseLogName(), L"moved.log");
    EXPECT_EQ(log->Close(), CCmpLog::kOk);
    log->Destroy(1);

    EXPECT_FALSE(logtest::PathExists(folder / L"host.log"));
    EXPECT_EQ(MaskTimes(ReadFileBytes(folder / L"moved.log")),
              "host first\r\n[<time>]::basecomp.cpp[7] **WARNING** - from peer 1\r\n"
              "after move\r\nhost last\r\n");
    EXPECT_EQ(normal.Appended(), "**WARNING** - from peer 1\r\n");
}

TEST(CrossModule, ProgramDrivesAndDestroysALogMadeByThePeer) {
    Peer peer;
    ASSERT_TRUE(peer.module && peer.create);
    NormalLogWatch normal;
    TempFolder folder;
    CCmpLog* log = peer.create(L"peer.log", folder.path().c_str());
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(VirtualTableOwner(log), peer.module.get());
    EXPECT_EQ(log->IsVerbose(), 1);
    EXPECT_EQ(log->GetFileRecord(CCmpLog::kVerboseFile)->isOpen, 1);

    // Through the slot indices the contract fixes, not through this program's C++ view.
    EXPECT_EQ(Slot<int (*)(CCmpLog*, int)>(log, kSlotSetVerbose)(log, 1), 1);
    Slot<void (*)(CCmpLog*, int, int, const wchar_t*, int, const wchar_t*, ...)>(log, kSlotWrite)(
        log, kLogBoth, kLogError, L"stub.cpp", 12, L"slot %s\r\n", L"write");
    Slot<void (*)(CCmpLog*, int)>(log, kSlotEndSession)(log, 3);
    EXPECT_EQ(Slot<int (*)(CCmpLog*)>(log, kSlotClose)(log), CCmpLog::kOk);
    EXPECT_EQ(Slot<int (*)(CCmpLog*)>(log, kSlotOpen)(log), CCmpLog::kOk);
    log->MoveVerboseLog(L"renamed.log", folder.path().c_str()); // this program's own copy
    log->Write(kLogVerboseContinue, kLogInfo, nullptr, 0, L"end\r\n");
    EXPECT_EQ(log->Close(), CCmpLog::kOk);
    // Slot 0 with bit 0 set frees the object with the peer's own allocator.
    EXPECT_EQ(Slot<void* (*)(CCmpLog*, unsigned int)>(log, kSlotDestroy)(log, 1),
              static_cast<void*>(log));

    const std::string verbose = MaskTimes(ReadFileBytes(folder / L"renamed.log"));
    EXPECT_EQ(verbose.find("[<time>]::stub.cpp[12] **ERROR** - slot write\r\n"), 0u) << verbose;
    EXPECT_NE(verbose.find("Return Code (3)"), std::string::npos);
    EXPECT_EQ(verbose.substr(verbose.size() - 5), "end\r\n");
    EXPECT_EQ(MaskTimes(normal.Appended()).find("**ERROR** - slot write\r\n"), 0u);
}
