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

// Waits for a visible top-level window of process `pid` (0: of any process but ours) with
// exactly `caption`; null on timeout.
HWND WaitForProcessWindowWithCaption(DWORD pid, const std::wstring& caption, DWORD timeoutMs);

// Waits for a visible top-level window of process `pid` other than `except`; null on timeout.
HWND WaitForOtherProcessWindow(DWORD pid, HWND except, DWORD timeoutMs);

// The window that has the keyboard focus in the thread that owns `window`.
HWND FocusedWindowOf(HWND window);

// The id of the dialog's default button, or 0 when it has none.
int DefaultButtonOf(HWND dialog);

// The rows of a report-view list control of any process, `columns` cells each.
std::vector<std::vector<std::wstring>> ReadListViewRows(HWND list, int columns);

// Character format of the characters [from, to) of a Rich Edit control of any process.
// Selects that range in the control. `valid` is false when the control could not be asked;
// `bold` and `heightTwips` are meaningful only when the whole range shares them.
struct CharacterFormat {
    bool valid = false;
    std::wstring face;
    bool faceUniform = false;
    bool bold = false;
    bool boldUniform = false;
    long heightTwips = 0;
    bool heightUniform = false;
};
CharacterFormat ReadRichEditFormat(HWND box, long from, long to);

} // namespace zor::test
