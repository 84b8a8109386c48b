#include "parent_process.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>

#include "win_handles.h"

namespace zor {
namespace {

// Finds the snapshot entry of process `pid`; the walk restarts from the first entry.
bool FindProcessEntry(HANDLE snapshot, DWORD pid, PROCESSENTRY32W& entry) {
    entry = {};
    entry.dwSize = sizeof(entry);
    if (!::Process32FirstW(snapshot, &entry)) return false;
    do {
        if (entry.th32ProcessID == pid) return true;
    } while (::Process32NextW(snapshot, &entry));
    return false;
}

} // namespace

bool IsStartedByAgent() {
    FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W self;
    if (!FindProcessEntry(snapshot.get(), ::GetCurrentProcessId(), self)) return false;
    PROCESSENTRY32W parent;
    if (!FindProcessEntry(snapshot.get(), self.th32ParentProcessID, parent)) return false;
    return _wcsicmp(parent.szExeFile, kAgentExecutable) == 0;
}

} // namespace zor
