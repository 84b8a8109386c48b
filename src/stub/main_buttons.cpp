#include "main_buttons.h"

#include "cppkg.h"
#include "res/resource.h"
#include "resource_text.h"

namespace zor {
namespace {

void HideButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    ::EnableWindow(button, FALSE);
    ::ShowWindow(button, SW_HIDE);
}

// Puts `id` where `placeId` is, keeping its own size.
void MoveToPlaceOf(HWND dialog, int id, int placeId) {
    RECT place = {};
    HWND placeWindow = ::GetDlgItem(dialog, placeId);
    if (!placeWindow || !::GetWindowRect(placeWindow, &place))
        return;
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    ::SetWindowPos(::GetDlgItem(dialog, id), nullptr, place.left, place.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

MainButtonPlan PlanMainButtons(bool installAllowed, bool extractAllowed) {
    if (!installAllowed)
        return {false, true, true, IDC_EXTRACT, IDC_EXTRACT, IDS_PROMPT_EXTRACT};
    if (!extractAllowed)
        return {true, false, false, IDC_INSTALL, IDC_INSTALL, IDS_PROMPT_INSTALL};
    return {true, true, false, IDC_INSTALL, IDC_INSTALL, IDS_PROMPT_BOTH};
}

MainButtonPlan PlanMainButtons(const CPPkg& package) {
    const wchar_t* command = package.GetInstallCommand();
    const bool installAllowed =
        !package.IsSettingOn(L"DISABLE_INSTALL_BUTTON") && command && command[0];
    return PlanMainButtons(installAllowed, !package.IsSettingOn(L"DISABLE_EXTRACT_BUTTON"));
}

void ApplyMainButtonPlan(HWND dialog, const MainButtonPlan& plan) {
    if (!plan.showExtract)
        HideButton(dialog, IDC_EXTRACT);
    if (!plan.showInstall) {
        HideButton(dialog, IDC_INSTALL);
        if (plan.extractInInstallPlace)
            MoveToPlaceOf(dialog, IDC_EXTRACT, IDC_INSTALL);
    }
    // DM_SETDEFID alone leaves the old default button drawn as the default; the styles are
    // set on both buttons so that only the new one looks like it.
    const int other = plan.defaultButton == IDC_INSTALL ? IDC_EXTRACT : IDC_INSTALL;
    ::SendDlgItemMessageW(dialog, other, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    ::SendMessageW(dialog, DM_SETDEFID, static_cast<WPARAM>(plan.defaultButton), 0);
    ::SendDlgItemMessageW(dialog, plan.defaultButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);

    ::SetDlgItemTextW(dialog, IDC_PROMPT, LoadLocalizedString(plan.promptId).c_str());
    ::SetFocus(::GetDlgItem(dialog, plan.focusButton));
}

} // namespace zor
