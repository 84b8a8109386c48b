// The Package Contents dialog: every archive member with its date, time and size.
#pragma once
#include <windows.h>

namespace zor {

// Shows the list modally over `owner`.
void ShowContentsDialog(HWND owner);

} // namespace zor
