// Starts the command line it was given and exits with the child's exit code. Copied under
// another name it plays a parent process of that name.
#include <windows.h>

#include <cwchar>
#include <vector>

int wmain() {
    const wchar_t* line = ::GetCommandLineW();
    // Skip our own program name, quoted or not.
    if (*line == L'"') {
        line = std::wcschr(line + 1, L'"');
        line = line ? line + 1 : L"";
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    std::vector<wchar_t> child(line, line + std::wcslen(line) + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(nullptr, child.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return 250;
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 251;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<int>(code);
}
