// Which of the main dialog's buttons are offered, which one is the default and has the focus,
// and which prompt goes with them, for every combination of the package's switches.
#pragma once
#include <windows.h>

namespace zor {

class CPPkg;

struct MainButtonPlan {
    bool showInstall;
    bool showExtract;
    // Extract... takes Install's place when Install is hidden.
    bool extractInInstallPlace;
    int defaultButton;
    int focusButton;
    UINT promptId;
};

// Install needs the package's install command and no "DISABLE_INSTALL_BUTTON"; Extract... is
// offered unless "DISABLE_EXTRACT_BUTTON" says otherwise, and always when Install is not, so
// that the dialog never ends up without a way to act on the package.
MainButtonPlan PlanMainButtons(bool installAllowed, bool extractAllowed);
MainButtonPlan PlanMainButtons(const CPPkg& package);

// Hides, moves and marks the buttons of `dialog` and sets the prompt text; the focus goes to
// the plan's focus button.
void ApplyMainButtonPlan(HWND dialog, const MainButtonPlan& plan);

} // namespace zor
