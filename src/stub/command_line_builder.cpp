#include "command_line_builder.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "cppkg.h"
#include "win_handles.h"

namespace zor {

bool BuildCommandLine(const CPPkg& package, const wchar_t* launcherCommandLine,
                      std::wstring& arguments) {
    arguments.clear();
    const wchar_t* command = package.GetInstallCommand();
    if (!command) return false;
    arguments = command;
    arguments += L"\" ";
    if (const wchar_t* params = package.GetInstallParams()) arguments += params;

    int count = 0;
    std::unique_ptr<LPWSTR, zor::LocalFreeDeleter> argv(
        launcherCommandLine && launcherCommandLine[0]
            ? ::CommandLineToArgvW(launcherCommandLine, &count)
            : nullptr);
    for (int i = 1; argv && i < count; ++i) {
        arguments += L' ';
        arguments += package.MapArgument(argv.get()[i]);
    }
    if (arguments.size() > kSetupArgumentsMax) {
        arguments.clear();
        return false;
    }
    return true;
}

std::wstring FullSetupCommandLine(const std::wstring& folder, const std::wstring& arguments) {
    std::wstring line = L"\"" + folder;
    if (folder.empty() || folder.back() != L'\\') line += L'\\';
    return line + arguments;
}

} // namespace zor
