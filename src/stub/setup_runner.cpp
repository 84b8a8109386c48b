#include "setup_runner.h"

#include <vector>

#include "win_handles.h"

namespace zor {
namespace {

constexpr DWORD kWaitSliceMs = 100;

void DispatchPendingMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace

bool RunSetupUtility(const std::wstring& commandLine, const std::wstring& folder, bool silent,
                     DWORD& exitCode) {
    exitCode = kSetupNotStartedCode;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    const DWORD flags =
        (silent ? CREATE_NO_WINDOW : CREATE_NEW_CONSOLE) | NORMAL_PRIORITY_CLASS;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, silent ? TRUE : FALSE, flags,
                          nullptr, folder.c_str(), &startup, &info))
        return false;
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    for (;;) {
        const DWORD waited = ::WaitForSingleObject(process.get(), kWaitSliceMs);
        if (waited == WAIT_OBJECT_0) break;
        if (waited != WAIT_TIMEOUT) return false;
        DispatchPendingMessages();
    }
    DWORD code = 0;
    if (::GetExitCodeProcess(process.get(), &code)) exitCode = code;
    return true;
}

} // namespace zor
