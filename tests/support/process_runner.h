// Starts programs for end-to-end tests and waits for them with a time limit.
#pragma once
#include <windows.h>

#include <string>

#include "win_handles.h"

namespace zor::test {

class ChildProcess {
public:
    // Starts `commandLine` (program path quoted by the caller as needed) in `folder`
    // (null = ours). Check started() afterwards.
    explicit ChildProcess(const std::wstring& commandLine, const wchar_t* folder = nullptr);

    bool started() const { return process_.valid(); }
    DWORD pid() const { return pid_; }
    // Waits for the exit; returns the exit code, or -1 on timeout (the process is then
    // terminated so that no test leaves one behind).
    long Wait(DWORD timeoutMs = 60000);

private:
    KernelHandle process_;
    DWORD pid_ = 0;
};

// Runs a command to its end; the exit code or -1.
long RunToEnd(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// Quotes a path for a command line.
std::wstring Quote(const std::wstring& path);

// Folder of the running test program (where the built programs are).
std::wstring ProgramFolder();

} // namespace zor::test
