// A second module for the cross-module tests: it links its own copy of the log, creates log
// objects for the test program and drives log objects the test program created, the way the
// plug-in and the setup utility share a log.
#include "cmp_log.h"

#include <new>

extern "C" __declspec(dllexport) CCmpLog* PeerCreateLog(const wchar_t* name,
                                                        const wchar_t* folder) {
    CCmpLog* log = new (std::nothrow) CCmpLog(name, folder);
    if (!log)
        return nullptr;
    log->SetVerbose(1);
    log->Open();
    return log;
}

// Writes through the caller's slots, then moves the verbose log with this module's own copy of
// MoveVerboseLog, working on the caller's fields. Returns what IsVerbose answers here.
extern "C" __declspec(dllexport) int PeerUseLog(CCmpLog* log, const wchar_t* newName) {
    log->Write(kLogBoth, kLogWarning, L"C:\\build\\Source\\basecomp\\basecomp.cpp", 7,
               L"from %s %d\r\n", L"peer", 1);
    log->MoveVerboseLog(newName, log->GetVerboseLogFolder());
    log->Write(kLogVerboseContinue, kLogInfo, nullptr, 0, L"after move\r\n");
    return log->IsVerbose();
}
