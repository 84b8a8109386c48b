// Starts the setup utility in the extraction folder and waits for it while keeping the
// launcher's windows responsive.
#pragma once
#include <windows.h>

#include <string>

namespace zor {

class StubLog;

// Exit code that stands for a setup utility that could not be started: the "not installed"
// result, so that it counts as a failure and nothing is recorded.
constexpr DWORD kSetupNotStartedCode = 0;

// Starts `commandLine` with `folder` as its current folder, waits in 100 ms slices and
// dispatches this thread's window messages in between. True with `exitCode` set when the
// process ran; false when it could not be started.
bool RunSetupUtility(const std::wstring& commandLine, const std::wstring& folder, bool silent,
                     DWORD& exitCode);

} // namespace zor
