#include "winpe.h"

#include <windows.h>

#include "win_handles.h"

namespace zor {

bool IsWinPE() {
    RegKey key;
    LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\MiniNT",
                                0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put());
    return status == ERROR_SUCCESS && key.valid();
}

} // namespace zor
