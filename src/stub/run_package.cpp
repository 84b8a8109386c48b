#include "run_package.h"

#include <string>

#include "extraction_steps.h"
#include "launcher_state.h"
#include "res/resource.h"
#include "show_message.h"
#include "zip_file.h"

namespace zor {
namespace {

// Makes the saved folder current again when the run ends, however it ends.
class CurrentFolderGuard {
public:
    CurrentFolderGuard() {
        DWORD length = ::GetCurrentDirectoryW(MAX_PATH + 1, saved_);
        if (length == 0 || length > MAX_PATH) saved_[0] = L'\0';
    }
    ~CurrentFolderGuard() {
        if (saved_[0]) ::SetCurrentDirectoryW(saved_);
    }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

private:
    wchar_t saved_[MAX_PATH + 1] = {};
};

// Extract mode: the archive goes into the given folder, which must exist, and stays there.
int32_t RunExtract(HWND owner, const wchar_t* folder, bool silent) {
    CurrentFolderGuard savedFolder;
    if (!folder || !::SetCurrentDirectoryW(folder)) return 0;

    const uint64_t required = RequiredExtractionBytes();
    const uint64_t available = AvailableBytesHere();
    if (available <= required) {
        if (!silent) {
            const std::wstring text = FormatDiskSpaceMessage(required, available);
            ShowMessageText(owner, text.c_str(), kMessageCaptionId, MB_OK | MB_ICONWARNING);
        }
        return 0;
    }

    if (ExtractPackageInto(folder, nullptr) != 0) {
        if (!silent) ShowMessage(owner, IDS_CANNOT_EXTRACT, kMessageCaptionId, MB_OK | MB_ICONERROR);
        return 0;
    }

    const LauncherOptions& options = Options();
    if (options.configFileFound) {
        std::wstring target;
        CopyConfigFileInto(folder, options.configFilePath, target);
    }
    return 1;
}

} // namespace

int32_t RunPackage(HWND owner, const wchar_t* extractPath, bool installMode, bool silent) {
    if (!installMode) return RunExtract(owner, extractPath, silent);
    return 0;
}

} // namespace zor
