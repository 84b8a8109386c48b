// The setup utility's command line: its path in the extraction folder, the package's fixed
// parameters, and every launcher argument passed through the package's argument map.
#pragma once
#include <string>

namespace zor {

class CPPkg;

// Longest argument text the builder produces.
constexpr size_t kSetupArgumentsMax = 2048;

// Builds the text that follows the opening quote and the extraction folder: the install
// command, the closing quote, a blank, the install parameters, then " " and the mapped form of
// every argument after the program name of `launcherCommandLine`. Arguments are not quoted
// again. False without an install command or when the text would exceed its limit.
bool BuildCommandLine(const CPPkg& package, const wchar_t* launcherCommandLine,
                      std::wstring& arguments);

// The whole command line: a quote, the folder, a backslash unless the folder ends with one,
// and the built text.
std::wstring FullSetupCommandLine(const std::wstring& folder, const std::wstring& arguments);

} // namespace zor
