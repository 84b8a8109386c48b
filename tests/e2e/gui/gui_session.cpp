#include "gui_session.h"

#include "host_shell.h"

namespace zor::test {

namespace {
constexpr int kDescriptionBox = 1006;
}

LauncherSession::LauncherSession(const std::wstring& package, const std::wstring& arguments)
    : process_(Quote(package) + (arguments.empty() ? L"" : L" " + arguments)) {
    if (process_.started())
        dialog_ = WaitForProcessWindowWithCaption(pid(), kCaption, kWindowWait);
}

// A test that failed half-way must not leave its launcher behind.
LauncherSession::~LauncherSession() {
    if (process_.started())
        process_.Wait(1);
}

std::wstring LauncherSession::Description() const {
    const WindowInfo info = Describe();
    const ControlInfo* box = info.Control(kDescriptionBox);
    return box ? box->text : std::wstring();
}

std::wstring ScreenshotPath(const wchar_t* name) {
    const std::wstring relative = ProgramFolder() + L"\\..\\screenshots\\" + name;
    wchar_t full[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::wstring(full, length) : relative;
}

} // namespace zor::test
