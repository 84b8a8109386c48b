#include "usage_dialog.h"

#include "dialog_commands.h"
#include "res/resource.h"
#include "resource_text.h"

namespace zor {
namespace {

INT_PTR CALLBACK UsageDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND)
        return HandleCloseCommand(dialog, LOWORD(wParam)) ? TRUE : FALSE;
    return FALSE;
}

} // namespace

void ShowUsageDialog(HWND owner) {
    ShowLocalizedDialog(IDD_USAGE, owner, UsageDialog, 0);
}

} // namespace zor
