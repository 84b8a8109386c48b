// Turns the run result into the process exit code.
#pragma once
#include <cstdint>

namespace zor {

// Run results the launcher itself produces; the setup utility's translated exit code can be
// any other value and is passed through.
enum RunResult : int32_t {
    kRunFailed = 0,
    kRunSucceeded = 1,
    kRunNeedsRestart = 2,
    kRunDialogClosed = 3,
};

// The DOS convention (used with "/dosretcode" or when the agent started us) reports 0 for
// any non-failure and 1 for failure; otherwise the run result is the exit code.
int32_t ExitCodeFor(int32_t runResult, bool dosConvention);

} // namespace zor
