// Proves that Windows test programs run under the emulator with a usable prefix.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Harness, SystemDriveIsAvailable) {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"SystemDrive", buffer, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(GetDriveTypeW(L"C:\\"), static_cast<UINT>(DRIVE_FIXED));
}
