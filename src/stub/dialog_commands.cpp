#include "dialog_commands.h"

#include "exit_code.h"
#include "launcher_state.h"
#include "res/resource.h"

namespace zor {

bool HandleCloseCommand(HWND dialog, WORD commandId) {
    if (commandId != IDCANCEL && commandId != IDC_CLOSE)
        return false;
    RunResultRef() = kRunDialogClosed;
    ::EndDialog(dialog, kRunDialogClosed);
    return true;
}

} // namespace zor
