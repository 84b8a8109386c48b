#include "launcher_main.h"

#include "exit_code.h"
#include "language_code.h"
#include "launcher_package.h"
#include "launcher_state.h"
#include "parent_process.h"
#include "res/resource.h"
#include "resource_text.h"
#include "run_package.h"
#include "show_message.h"
#include "usage_dialog.h"
#include "win_handles.h"
#include "zip_file.h"

namespace zor {
namespace {

// Priority with which the system asks the launcher to end at shutdown.
constexpr DWORD kShutdownLevel = 100;

// The launcher's own full path; false when it does not fit the 260-character buffer.
bool GetLauncherPath(wchar_t (&path)[MAX_PATH + 1]) {
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH;
}

// DLLs are loaded only from the system folder, so that a DLL planted next to the launcher or
// in its extraction folder is never loaded into it.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    auto setDirectories = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}

int RunModes(const wchar_t* commandLine) {
    ParseCommandLine(commandLine, Options());
    const LauncherOptions& options = Options();

    if (options.help) {
        ShowUsageDialog(::GetDesktopWindow());
        return 1;
    }

    wchar_t launcherPath[MAX_PATH + 1] = {};
    if (!GetLauncherPath(launcherPath) || Archive().OpenArchive(launcherPath, true) != 0) {
        ShowMessage(nullptr, IDS_NOT_A_PACKAGE, kMessageCaptionId, MB_OK | MB_ICONERROR);
        RunResultRef() = kRunFailed;
        return 0;
    }

    if (options.extractOnly)
        return RunPackage(nullptr, options.extractPath, false, true) == kRunSucceeded ? 1 : 0;

    if (!LoadPackageDefinition(launcherPath, LanguageCode())) {
        if (!options.silent)
            ShowMessage(nullptr, IDS_NOT_A_PACKAGE, kMessageCaptionId, MB_OK | MB_ICONERROR);
        RunResultRef() = kRunFailed;
    } else {
        LoadPackageIcons();
        RunLoadedPackage();
    }
    return ExitCodeFor(RunResultRef(), options.dosRetCode || IsStartedByAgent());
}

} // namespace

int RunLauncher(HINSTANCE instance, const wchar_t* commandLine) {
    RestrictDllSearch();
    SetLauncherInstance(instance);
    RunResultRef() = kRunSucceeded;
    ReleasePackageIcons();

    wchar_t code[3] = {};
    GetLanguageCode(code, 3);
    SetLanguageCode(code);
    SetResourceLanguage(ResourceLanguageFor(code));

    ::SetProcessShutdownParameters(kShutdownLevel, 0);
    // The main dialog's description box is a Rich Edit 1.0 control; without the library the
    // dialog cannot be created, but every other mode still works.
    ModuleHandle richEdit(::LoadLibraryW(L"riched32.dll"));

    const int exitCode = RunModes(commandLine);
    ReleasePackageIcons();
    return exitCode;
}

} // namespace zor
