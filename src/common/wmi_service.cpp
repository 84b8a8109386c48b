#include "wmi_service.h"

#include <windows.h>

#include "win_handles.h"

namespace zor {

bool IsWmiServiceRunning(const wchar_t* machine) {
    const wchar_t* target = (machine && machine[0]) ? machine : nullptr;
    // Only the status is needed, so only the rights to ask for it are requested: asking for
    // full access would report a running service as stopped to a caller without
    // administrator rights.
    ServiceHandle manager(OpenSCManagerW(target, SERVICES_ACTIVE_DATABASEW, SC_MANAGER_CONNECT));
    if (!manager)
        return false;
    ServiceHandle service(OpenServiceW(manager.get(), L"winmgmt", SERVICE_QUERY_STATUS));
    if (!service)
        return false;

    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    if (!QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO,
                              reinterpret_cast<BYTE*>(&status), sizeof status, &needed)) {
        return false;
    }
    return status.dwCurrentState == SERVICE_RUNNING;
}

} // namespace zor
