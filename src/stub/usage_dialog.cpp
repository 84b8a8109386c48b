#include "usage_dialog.h"

#include "exit_code.h"
#include "launcher_state.h"
#include "res/resource.h"
#include "resource_text.h"

namespace zor {
namespace {

INT_PTR CALLBACK UsageDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) return HandleCloseCommand(dialog, LOWORD(wParam)) ? TRUE : FALSE;
    return FALSE;
}

} // namespace

bool HandleCloseCommand(HWND dialog, WORD commandId) {
    if (commandId != IDCANCEL && commandId != IDC_CLOSE) return false;
    RunResultRef() = kRunDialogClosed;
    ::EndDialog(dialog, kRunDialogClosed);
    return true;
}

void ShowUsageDialog(HWND owner) { ShowLocalizedDialog(IDD_USAGE, owner, UsageDialog, 0); }

} // namespace zor
