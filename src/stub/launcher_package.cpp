#include "launcher_package.h"

#include <string>

#include "cppkg.h"
#include "launcher_state.h"
#include "main_dialog.h"
#include "package_locator.h"
#include "reboot.h"
#include "run_package.h"

namespace zor {

bool LoadPackageDefinition(const wchar_t* launcherPath, const wchar_t* languageCode) {
    CPPkg& package = Package();
    if (package.LoadForModule(launcherPath, languageCode)) return true;
    std::wstring member;
    return LocatePackageDefinition(Archive(), member) &&
           package.Load(launcherPath, member.c_str(), languageCode);
}

void RunLoadedPackage() {
    const LauncherOptions& options = Options();
    if (options.silent || options.noPrompt) {
        RunResultRef() = RunPackage(nullptr, nullptr, true, options.silent);
        if (RestartWanted(RunResultRef(), Options())) RebootSystem(Options());
        return;
    }
    // The dialog sets the run result and restarts the system itself when needed.
    ShowMainDialog(Package().IsSettingOn(L"LARGE_WINDOW"));
}

} // namespace zor
