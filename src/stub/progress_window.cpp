#include "progress_window.h"

#include <commctrl.h>

#include "res/resource.h"
#include "resource_text.h"
#include "zip_file.h"

namespace zor {
namespace {

// The rectangle to centre over: the owner's window, or the desktop's work area without one.
RECT CentreArea(HWND owner) {
    RECT area = {};
    if (owner && ::GetWindowRect(owner, &area))
        return area;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        ::GetWindowRect(::GetDesktopWindow(), &area);
    return area;
}

void CentreOverOwner(HWND window) {
    RECT own = {};
    if (!::GetWindowRect(window, &own))
        return;
    const RECT area = CentreArea(::GetWindow(window, GW_OWNER));
    const int left = area.left + ((area.right - area.left) - (own.right - own.left)) / 2;
    const int top = area.top + ((area.bottom - area.top) - (own.bottom - own.top)) / 2;
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK ProgressDialog(HWND window, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return FALSE;
    CentreOverOwner(window);
    ::ShowWindow(window, SW_SHOW);
    return TRUE;
}

// Extraction runs on the window's own thread and nothing else reads its messages meanwhile.
// Painting the bar now, and handing out the thread's paint messages (and only those, so that
// no click or key reaches the windows half-way), keeps it drawn and lets the system see the
// thread as responding. A window that never validates itself would repaint forever, so the
// loop is bounded.
void RepaintNow(HWND bar) {
    ::UpdateWindow(bar);
    if (HWND parent = ::GetParent(bar))
        ::UpdateWindow(parent);
    constexpr int kMaxPaintMessages = 64;
    MSG message = {};
    for (int i = 0;
         i < kMaxPaintMessages && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT);
         ++i)
        ::DispatchMessageW(&message);
}

} // namespace

HWND CreateProgressWindow(HWND owner) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    return CreateLocalizedDialog(IDD_PROGRESS, owner, ProgressDialog, 0);
}

HWND ProgressBarOf(HWND progressWindow) {
    return progressWindow ? ::GetDlgItem(progressWindow, IDC_PROGRESS_BAR) : nullptr;
}

bool ExtractProgressCallback(void* userValue, const vozoru::ExtractProgress* progress) {
    HWND bar = static_cast<HWND>(userValue);
    if (!bar || !progress || progress->total <= 0 || progress->index < 1)
        return true;
    const int64_t written =
        progress->index <= progress->total ? progress->index - 1 : progress->total;
    const double share =
        static_cast<double>(written) * 100.0 / static_cast<double>(progress->total);
    ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(static_cast<int>(share)), 0);
    RepaintNow(bar);
    return true;
}

} // namespace zor
