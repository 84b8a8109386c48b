#include "window_driver.h"

namespace zor::test {
namespace {

struct FindState {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter) {
    auto* state = reinterpret_cast<FindState*>(parameter);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == state->pid && ::IsWindowVisible(window)) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(window, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM parameter) {
    auto* info = reinterpret_cast<WindowInfo*>(parameter);
    if (::GetParent(child) != info->window) return TRUE;
    ControlInfo control;
    control.id = ::GetDlgCtrlID(child);
    control.className = ClassOf(child);
    control.text = TextOf(child);
    control.style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
    control.visible = ::IsWindowVisible(child) != FALSE;
    control.enabled = ::IsWindowEnabled(child) != FALSE;
    ::GetWindowRect(child, &control.rect);
    ::MapWindowPoints(nullptr, info->window, reinterpret_cast<POINT*>(&control.rect), 2);
    if (_wcsicmp(control.className.c_str(), L"Static") == 0 && (control.style & SS_TYPEMASK) == SS_ICON)
        control.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    info->controls.push_back(control);
    return TRUE;
}

} // namespace

const ControlInfo* WindowInfo::Control(int id) const {
    for (const ControlInfo& control : controls)
        if (control.id == id) return &control;
    return nullptr;
}

std::wstring WindowInfo::StaticTexts() const {
    std::wstring all;
    for (const ControlInfo& control : controls) {
        if (_wcsicmp(control.className.c_str(), L"Static") != 0 || control.text.empty()) continue;
        if (!all.empty()) all += L"\n";
        all += control.text;
    }
    return all;
}

HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        FindState state{pid, nullptr};
        ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
        if (state.found) return state.found;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

WindowInfo DescribeWindow(HWND window) {
    WindowInfo info;
    info.window = window;
    info.caption = TextOf(window);
    info.className = ClassOf(window);
    ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&info));
    return info;
}

bool PressButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    if (!button) return false;
    ::PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

} // namespace zor::test
