// Packages for the user-interface tests: a package definition, package data with the dialog
// switches, and optional license, configuration and filler members, made into a launcher
// with the package builder.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace zor::test {

struct GuiPackage {
    std::vector<std::pair<std::wstring, std::wstring>> settings;
    bool installCommand = true;
    bool runnableSetup = false; // the install command is the real fake setup utility
    std::string license;        // license text; empty: the package has none
    bool configUi = false;      // the package data names a configuration UI file
    bool configMember = true;   // ... and the archive holds it
    SYSTEMTIME configTime = {2021, 3, 4, 4, 14, 5, 6, 0}; // its local last-write time
    int fillerMembers = 0;                  // extra members "m000.txt", ... of 0, 1, ... bytes
    std::vector<std::wstring> namedMembers; // further small members
};

// English texts of the package.
extern const wchar_t kPackageName[];
extern const wchar_t kPackageVersion[];
extern const wchar_t kPackageDescription[];
extern const wchar_t kPackageNameJa[];
extern const wchar_t kPackageNameZh[];

// Builds `folder`\`fileName` from `package`; empty on failure.
std::wstring BuildGuiPackage(const std::wstring& folder, const std::wstring& fileName,
                             const GuiPackage& package);

} // namespace zor::test
