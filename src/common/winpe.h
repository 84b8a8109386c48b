// Whether the program runs inside the Windows Preinstallation Environment.
#pragma once

namespace zor {

// True when the key "SYSTEM\CurrentControlSet\Control\MiniNT" exists under the local machine
// hive (32-bit view), which only the preinstallation environment has.
bool IsWinPE();

} // namespace zor
