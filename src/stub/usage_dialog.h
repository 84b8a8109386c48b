// The command line usage dialog (resource 108).
#pragma once
#include <windows.h>

namespace zor {

// Shows the usage dialog modally over `owner`; Close sets the run result to 3.
void ShowUsageDialog(HWND owner);

} // namespace zor
