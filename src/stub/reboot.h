// Restarting the system after an installation that needs it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "removable_media.h"
#include "win_handles.h"

namespace zor {

struct LauncherOptions;

// What the launcher asks the system for when it restarts it.
struct ShutdownRequest {
    std::wstring message;         // shown to logged-on users until the restart
    DWORD timeoutSeconds = 0;     // delay before the restart
    bool forceAppsClosed = false; // applications are closed without asking them
    bool rebootAfterShutdown = false;
    DWORD reason = 0; // why, as the system's shutdown reason codes record it
};

// The operating-system side of a restart. Production uses the system's; tests install their
// own so that nothing is ever restarted.
class ShutdownControl {
public:
    virtual ~ShutdownControl() = default;
    // Opens the process's own token and enables the shutdown privilege in it; the token is
    // handed back so that it stays open until the request is made.
    virtual bool AcquireShutdownPrivilege(KernelHandle& token) = 0;
    // Asks the system to shut down the local machine as `request` says.
    virtual bool RequestShutdown(const ShutdownRequest& request) = 0;
};

// The system's shutdown control (InitiateSystemShutdownExW).
ShutdownControl& SystemShutdownControl();

// Makes `control` the one RebootSystem uses; null puts the system's back. Returns the one
// installed before (null for the system's).
ShutdownControl* InstallShutdownControl(ShutdownControl* control);

// Whether a run that ended with `result` restarts the system: only a result that asks for a
// restart, and only with the reboot flag ("/reboot", or the user's answer to the restart
// question, which overrides it).
bool RestartWanted(int32_t result, const LauncherOptions& options);

// Restarts the system: warns about media in floppy or CD-ROM drives unless the run is silent,
// enables the shutdown privilege and asks for a restart with the "/reboot_message" text (or
// the standard text) and the "/t" delay, closing applications without asking them, recorded as
// a planned restart for an application's installation. Every
// failure ends the call quietly; the caller's exit code does not change.
void RebootSystem(const LauncherOptions& options, const DriveFacts& drives = SystemDriveFacts());

} // namespace zor
