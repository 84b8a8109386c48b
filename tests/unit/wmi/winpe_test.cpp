// The preinstallation environment is recognised by its registry key.
#include <gtest/gtest.h>
#include <windows.h>

#include "win_handles.h"
#include "winpe.h"

TEST(IsWinPE, FollowsTheMiniNTKey) {
    const wchar_t* path = L"SYSTEM\\CurrentControlSet\\Control\\MiniNT";
    ASSERT_FALSE(zor::IsWinPE()) << "a test prefix is not a preinstallation environment";

    zor::RegKey key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, key.put(), &disposition),
              ERROR_SUCCESS);
    ASSERT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    key.reset();
    EXPECT_TRUE(zor::IsWinPE());

    EXPECT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY, 0), ERROR_SUCCESS);
    EXPECT_FALSE(zor::IsWinPE());
}
