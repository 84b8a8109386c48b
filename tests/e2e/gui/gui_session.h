// A launcher started on a package, with its main dialog on screen, for the tests to drive.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "process_runner.h"
#include "window_driver.h"

namespace zor::test {

constexpr DWORD kWindowWait = 20000;
constexpr wchar_t kCaption[] = L"Arvex Package Setup";

class LauncherSession {
public:
    explicit LauncherSession(const std::wstring& package, const std::wstring& arguments = L"");
    ~LauncherSession();
    LauncherSession(const LauncherSession&) = delete;
    LauncherSession& operator=(const LauncherSession&) = delete;

    HWND dialog() const { return dialog_; }
    DWORD pid() const { return process_.pid(); }
    WindowInfo Describe() const { return DescribeWindow(dialog_); }
    // The text of the description box.
    std::wstring Description() const;
    // Presses a button of the main dialog.
    bool Press(int id) const { return PressButton(dialog_, id); }
    long Wait(DWORD timeoutMs = 60000) { return process_.Wait(timeoutMs); }

private:
    ChildProcess process_;
    HWND dialog_ = nullptr;
};

// Where a test keeps a screenshot for reviewers: "screenshots" beside the build's "bin".
std::wstring ScreenshotPath(const wchar_t* name);

} // namespace zor::test
