#include "reboot.h"

#include <cwchar>

#include "exit_code.h"
#include "launcher_options.h"
#include "res/resource.h"
#include "resource_text.h"

namespace zor {
namespace {

constexpr std::size_t kCaptionMax = 255;
constexpr std::size_t kMessageMax = 512;

// The restart is planned, and follows an application's installation; the system's shutdown
// event log records it so.
constexpr DWORD kInstallationRestartReason =
    SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED;

class SystemShutdown final : public ShutdownControl {
public:
    bool AcquireShutdownPrivilege(KernelHandle& token) override {
        if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                                token.put()))
            return false;
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
            return false;
        // The call also succeeds when the token does not hold the privilege at all; that is
        // reported through the last error.
        if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr))
            return false;
        return ::GetLastError() != ERROR_NOT_ALL_ASSIGNED;
    }

    bool RequestShutdown(const ShutdownRequest& request) override {
        // The system takes the message through a writable pointer.
        wchar_t message[kMessageMax + 1] = {};
        const std::size_t length =
            request.message.size() < kMessageMax ? request.message.size() : kMessageMax;
        std::wmemcpy(message, request.message.c_str(), length);
        return ::InitiateSystemShutdownExW(nullptr, message, request.timeoutSeconds,
                                           request.forceAppsClosed, request.rebootAfterShutdown,
                                           request.reason) != FALSE;
    }
};

ShutdownControl* g_installedControl = nullptr;

ShutdownControl& CurrentShutdownControl() {
    return g_installedControl ? *g_installedControl : SystemShutdownControl();
}

void ShowMediaWarning() {
    const std::wstring caption = LoadLocalizedString(IDS_DISKS_CAPTION, kCaptionMax);
    const std::wstring text = LoadLocalizedString(IDS_DISKS_FOUND, kMessageMax);
    // It only informs: the restart goes on once it is closed.
    ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}

std::wstring RestartMessage(const LauncherOptions& options) {
    const std::size_t length = ::wcsnlen(options.rebootMessage, kRebootMessageMax + 1);
    if (length > 0)
        return std::wstring(options.rebootMessage, length);
    return LoadLocalizedString(IDS_REBOOT_INITIATING, kMessageMax);
}

} // namespace

ShutdownControl& SystemShutdownControl() {
    static SystemShutdown control;
    return control;
}

ShutdownControl* InstallShutdownControl(ShutdownControl* control) {
    ShutdownControl* previous = g_installedControl;
    g_installedControl = control;
    return previous;
}

bool RestartWanted(int32_t result, const LauncherOptions& options) {
    return result == kRunNeedsRestart && options.reboot;
}

void RebootSystem(const LauncherOptions& options, const DriveFacts& drives) {
    if (!options.silent && HasRemovableMedia(drives))
        ShowMediaWarning();

    ShutdownControl& control = CurrentShutdownControl();
    KernelHandle token;
    if (!control.AcquireShutdownPrivilege(token))
        return;

    ShutdownRequest request;
    request.message = RestartMessage(options);
    // A negative "/t" value would read as a delay of many years.
    request.timeoutSeconds =
        options.shutdownTimeout > 0 ? static_cast<DWORD>(options.shutdownTimeout) : 0;
    request.forceAppsClosed = true;
    request.rebootAfterShutdown = true;
    request.reason = kInstallationRestartReason;
    control.RequestShutdown(request);
}

} // namespace zor
