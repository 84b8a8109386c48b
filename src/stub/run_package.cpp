#include "run_package.h"

#include <commctrl.h>

#include <string>

#include "browse_folder.h"
#include "current_folder.h"
#include "config_file_writer.h"
#include "cppkg.h"
#include "extraction_steps.h"
#include "install_sequence.h"
#include "launcher_state.h"
#include "machine_facts.h"
#include "progress_window.h"
#include "res/resource.h"
#include "show_message.h"
#include "zip_file.h"

namespace zor {
namespace {

constexpr DWORD kProgressPauseMs = 2000;

// Extract mode: the archive goes into the given folder (which must exist) or into one the
// user chooses, and stays there. No log is written.
int32_t RunExtract(HWND owner, const wchar_t* extractPath, bool silent) {
    CurrentFolderGuard savedFolder;
    wchar_t chosen[MAX_PATH + 1] = {};
    const wchar_t* folder = extractPath;
    if (!folder) {
        if (silent || !BrowseForExtractFolder(owner, chosen, MAX_PATH + 1)) return 0;
        folder = chosen;
    }
    if (!::SetCurrentDirectoryW(folder)) return 0;

    // The space every member needs once extracted, from the archive that is being extracted
    // (the package definition is not loaded in this mode).
    const uint64_t required = RequiredExtractionBytes();
    const uint64_t available = AvailableBytesHere();
    if (available <= required) {
        if (!silent) {
            const std::wstring text = FormatDiskSpaceMessage(required, available);
            ShowMessageText(owner, text.c_str(), kMessageCaptionId, MB_OK | MB_ICONWARNING);
        }
        return 0;
    }

    HWND progress = silent ? nullptr : CreateProgressWindow(owner);
    if (ExtractPackageInto(folder, ProgressBarOf(progress)) != 0) {
        if (!silent) ShowMessage(owner, IDS_CANNOT_EXTRACT, kMessageCaptionId, MB_OK | MB_ICONERROR);
        if (progress) ::DestroyWindow(progress);
        return 0;
    }

    const LauncherOptions& options = Options();
    if (options.configFileFound) {
        std::wstring target;
        CopyConfigFileInto(folder, options.configFilePath, target);
    } else if (!WriteConfigFile(Package(), Archive())) {
        if (!silent) ShowMessage(owner, IDS_CANNOT_EXTRACT, kMessageCaptionId, MB_OK | MB_ICONERROR);
        if (progress) ::DestroyWindow(progress);
        return 0;
    }

    if (progress) {
        if (HWND bar = ProgressBarOf(progress)) ::SendMessageW(bar, PBM_SETPOS, 100, 0);
        ::Sleep(kProgressPauseMs);
        ::DestroyWindow(progress);
    }
    return 1;
}

} // namespace

int32_t RunPackage(HWND owner, const wchar_t* extractPath, bool installMode, bool silent) {
    if (!installMode) return RunExtract(owner, extractPath, silent);
    return RunInstall(owner, silent, ProductionMachineFacts());
}

} // namespace zor
