// The command handling that the main, Package Contents and usage dialogs share.
#pragma once
#include <windows.h>

namespace zor {

// Cancel (2) and Close (1004) set the run result to 3 and end the dialog with 3. Returns
// true when the command was one of those.
bool HandleCloseCommand(HWND dialog, WORD commandId);

} // namespace zor
