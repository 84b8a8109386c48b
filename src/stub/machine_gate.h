// The machine checks that come before any extraction: the WMI service, a virtualized guest
// the package does not allow, and the TPM caution.
#pragma once
#include <windows.h>

class MachineFacts;

namespace zor {

class CPPkg;
class StubLog;
struct LauncherOptions;

// TPM states for which a firmware package gets the caution.
bool NeedsTpmCaution(int tpmState, const wchar_t* expectedPath);

// Runs the three checks with their log lines and messages (shown over `owner` only when not
// silent).
// Returns false when the installation must not go on; the run result is then 0.
bool PassMachineChecks(const CPPkg& package, const LauncherOptions& options, MachineFacts& facts,
                       const StubLog& log, HWND owner, bool silent);

} // namespace zor
