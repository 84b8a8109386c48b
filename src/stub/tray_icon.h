// The notification-area icon shown while a package installs; removed again when the object
// goes away, so no early return leaves a stale icon behind.
#pragma once
#include <windows.h>

namespace zor {

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds icon id 0 for `owner` (the desktop window when null) with the tooltip cut to fit.
    void Add(HWND owner, HICON icon, const wchar_t* tooltip);
    void Remove();

private:
    HWND owner_ = nullptr;
    bool added_ = false;
};

} // namespace zor
