// The launcher's one worker: extracts the package and, in install mode, runs its setup
// utility.
#pragma once
#include <windows.h>

#include <cstdint>

namespace zor {

// Runs the package. `extractPath` is used only in extract mode (null there means: ask the
// user for a folder). Returns 1 for a finished extraction, the translated exit code of the
// setup utility in install mode, and 0 for every failure.
int32_t RunPackage(HWND owner, const wchar_t* extractPath, bool installMode, bool silent);

} // namespace zor
