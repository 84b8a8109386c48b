#include "main_dialog.h"

#include <windows.h>

#include <string>

#include "contents_dialog.h"
#include "cppkg.h"
#include "description_box.h"
#include "dialog_commands.h"
#include "exit_code.h"
#include "launcher_state.h"
#include "license_dialog.h"
#include "main_buttons.h"
#include "reboot.h"
#include "res/resource.h"
#include "resource_text.h"
#include "run_package.h"

namespace zor {
namespace {

// System menu commands of the View Contents entry; the system keeps ids below 0xF000 free for
// programs.
constexpr WPARAM kViewContentsCommand = 0xFF0;
constexpr WPARAM kLastContentsCommand = 0xFFF;

// Longest face name read from the string table.
constexpr size_t kFaceNameMax = 64;

// Set once the dialog has been initialised, so that a dialog that could not be created is
// told apart from one that ended.
bool g_mainDialogShown = false;

void AddViewContentsItem(HWND dialog) {
    HMENU menu = ::GetSystemMenu(dialog, FALSE);
    if (!menu)
        return;
    const std::wstring item = LoadLocalizedString(IDS_VIEW_CONTENTS);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kViewContentsCommand, item.c_str());
}

void InitMainDialog(HWND dialog) {
    g_mainDialogShown = true;
    const CPPkg& package = Package();
    const MainButtonPlan plan = PlanMainButtons(package);
    const bool contentsAllowed = !package.IsSettingOn(L"DISABLE_VIEW_CONTENTS");
    const std::wstring faceName = LoadLocalizedString(IDS_DESCRIPTION_FONT, kFaceNameMax);

    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LargeIcon()));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIcon()));
    ::SetWindowTextW(dialog, LoadLocalizedString(IDS_CAPTION).c_str());
    if (contentsAllowed)
        AddViewContentsItem(dialog);

    HWND box = ::GetDlgItem(dialog, IDC_DESCRIPTION);
    KeepFocusAway(box);
    FillDescriptionBox(box, ComposeDescription(package, Archive()), faceName);
    ApplyMainButtonPlan(dialog, plan);
}

// The install run ends the dialog itself (it hides and destroys its owner window), so nothing
// here touches the dialog after it.
void OnInstall(HWND dialog) {
    if (!LicenseAccepted(dialog))
        return;
    const int32_t result = RunPackage(dialog, nullptr, true, false);
    RunResultRef() = result;
    if (RestartWanted(result, Options()))
        RebootSystem(Options());
}

// A finished extraction counts as success; one that failed or was cancelled does not, so that
// a dialog ended by a failed extraction never reports success.
void OnExtract(HWND dialog) {
    if (!LicenseAccepted(dialog))
        return;
    const int32_t result = RunPackage(dialog, nullptr, false, false);
    RunResultRef() = result == kRunSucceeded ? kRunSucceeded : kRunFailed;
}

INT_PTR CALLBACK MainDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitMainDialog(dialog);
        return FALSE; // the focus was set by the button plan
    case WM_COMMAND:
        if (HandleCloseCommand(dialog, LOWORD(wParam)))
            return TRUE;
        if (LOWORD(wParam) == IDC_INSTALL) {
            OnInstall(dialog);
            return TRUE;
        }
        if (LOWORD(wParam) == IDC_EXTRACT) {
            OnExtract(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_SYSCOMMAND:
        if (wParam >= kViewContentsCommand && wParam <= kLastContentsCommand) {
            ShowContentsDialog(dialog);
            ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        RestoreDescriptionBox(::GetDlgItem(dialog, IDC_DESCRIPTION));
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void ShowMainDialog(bool large) {
    g_mainDialogShown = false;
    ShowLocalizedDialog(large ? IDD_MAIN_LARGE : IDD_MAIN, ::GetDesktopWindow(), MainDialog, 0);
    // Without the dialog (no display, or no Rich Edit library) nothing was offered to the user:
    // the run failed rather than succeeded.
    if (!g_mainDialogShown)
        RunResultRef() = kRunFailed;
}

} // namespace zor
