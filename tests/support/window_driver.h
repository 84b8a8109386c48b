// Finds the windows another process shows, reads what they say and presses their buttons,
// the way a person at the screen would. Needs a display (the test run provides Xvfb).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace zor::test {

struct ControlInfo {
    int id = 0;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    bool visible = false;
    bool enabled = false;
    RECT rect = {}; // in the parent's client coordinates
    HICON icon = nullptr; // for icon statics
};

struct WindowInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring className;
    std::vector<ControlInfo> controls;

    const ControlInfo* Control(int id) const;
    // All static texts joined by newlines (the message of a message box).
    std::wstring StaticTexts() const;
};

// Waits up to `timeoutMs` for a visible top-level window of process `pid`; null on timeout.
HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs);

// Reads the caption, class and child controls of `window`.
WindowInfo DescribeWindow(HWND window);

// Presses button `id` of `dialog` (a message box's OK is IDOK, Yes is IDYES...).
bool PressButton(HWND dialog, int id);

} // namespace zor::test
