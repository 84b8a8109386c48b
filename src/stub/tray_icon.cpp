#include "tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

namespace zor {

void TrayIcon::Add(HWND owner, HICON icon, const wchar_t* tooltip) {
    Remove();
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = owner ? owner : ::GetDesktopWindow();
    data.uID = 0;
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = icon;
    if (tooltip) {
        // The tooltip field holds 127 characters and a terminator.
        const size_t length = std::min<size_t>(std::wcslen(tooltip), 127);
        std::wmemcpy(data.szTip, tooltip, length);
        data.szTip[length] = L'\0';
    }
    owner_ = data.hWnd;
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void TrayIcon::Remove() {
    if (!added_) return;
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = owner_;
    data.uID = 0;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

} // namespace zor
