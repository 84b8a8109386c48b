// The command line usage dialog (resource 108) and the command handling the launcher's
// dialogs share.
#pragma once
#include <windows.h>

namespace zor {

// Cancel (2) and Close (1004) set the run result to 3 and end the dialog with 3. Returns
// true when the command was one of those.
bool HandleCloseCommand(HWND dialog, WORD commandId);

// Shows the usage dialog modally over `owner`.
void ShowUsageDialog(HWND owner);

} // namespace zor
