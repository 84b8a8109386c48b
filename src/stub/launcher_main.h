// The launcher's start-up sequence: options, run mode, archive, package definition, hand-over
// to the install sequence or the main dialog, restart, exit code.
#pragma once
#include <windows.h>

namespace zor {

// Runs the launcher for the command-line text that follows the program name and returns the
// process exit code.
int RunLauncher(HINSTANCE instance, const wchar_t* commandLine);

} // namespace zor
