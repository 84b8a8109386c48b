// The WMI service check against the real service manager, in both states. The stopped case
// stops the service and starts it again so that later tests find it running.
#include <gtest/gtest.h>
#include <windows.h>

#include "win_handles.h"
#include "wmi_service.h"

namespace {

DWORD WaitForState(SC_HANDLE service, DWORD wanted) {
    SERVICE_STATUS status = {};
    for (int i = 0; i < 200; ++i) {
        if (!QueryServiceStatus(service, &status))
            return 0;
        if (status.dwCurrentState == wanted)
            break;
        Sleep(50);
    }
    return status.dwCurrentState;
}

} // namespace

TEST(IsWmiServiceRunning, RunningServiceOnThisMachine) {
    EXPECT_TRUE(zor::IsWmiServiceRunning(L""));
    EXPECT_TRUE(zor::IsWmiServiceRunning(nullptr));
}

TEST(IsWmiServiceRunning, StoppedServiceIsNotRunning) {
    zor::ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    ASSERT_TRUE(manager);
    zor::ServiceHandle service(OpenServiceW(manager.get(), L"winmgmt",
                                            SERVICE_STOP | SERVICE_START | SERVICE_QUERY_STATUS));
    ASSERT_TRUE(service);
    ASSERT_EQ(WaitForState(service.get(), SERVICE_RUNNING), static_cast<DWORD>(SERVICE_RUNNING));

    SERVICE_STATUS status = {};
    ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) << GetLastError();
    const DWORD stopped = WaitForState(service.get(), SERVICE_STOPPED);
    const bool seenRunning = zor::IsWmiServiceRunning(L"");

    // Restore the running service before judging, so a failure here does not leak into
    // other tests.
    const BOOL started = StartServiceW(service.get(), 0, nullptr);
    const DWORD restored = WaitForState(service.get(), SERVICE_RUNNING);

    EXPECT_EQ(stopped, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_FALSE(seenRunning);
    EXPECT_TRUE(started) << GetLastError();
    EXPECT_EQ(restored, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_TRUE(zor::IsWmiServiceRunning(L""));
}
