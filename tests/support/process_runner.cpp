#include "process_runner.h"

#include <vector>

namespace zor::test {

ChildProcess::ChildProcess(const std::wstring& commandLine, const wchar_t* folder) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                         &startup, &info)) {
        process_.reset(info.hProcess);
        ::CloseHandle(info.hThread);
        pid_ = info.dwProcessId;
    }
}

long ChildProcess::Wait(DWORD timeoutMs) {
    if (!process_) return -1;
    if (::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process_.get(), 255);
        ::WaitForSingleObject(process_.get(), 5000);
        return -1;
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process_.get(), &code)) return -1;
    return static_cast<long>(code);
}

long RunToEnd(const std::wstring& commandLine, DWORD timeoutMs) {
    ChildProcess child(commandLine);
    return child.started() ? child.Wait(timeoutMs) : -1;
}

std::wstring Quote(const std::wstring& path) { return L"\"" + path + L"\""; }

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

} // namespace zor::test
