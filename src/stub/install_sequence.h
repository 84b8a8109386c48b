// Install mode of the launcher's worker: machine checks, extraction into a fresh folder, the
// setup utility, translation of its exit code, registration and clean-up.
#pragma once
#include <windows.h>

#include <cstdint>

class MachineFacts;

namespace zor {

// Runs the whole installation; returns the translated exit code or 0 for a failure.
int32_t RunInstall(HWND owner, bool silent, MachineFacts& facts);

} // namespace zor
