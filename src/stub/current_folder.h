// Keeps the current folder of the launcher's process and makes it current again when the
// guard goes away, however the run ends.
#pragma once
#include <windows.h>

namespace zor {

class CurrentFolderGuard {
public:
    CurrentFolderGuard() {
        const DWORD length = ::GetCurrentDirectoryW(MAX_PATH + 1, saved_);
        if (length == 0 || length > MAX_PATH) saved_[0] = L'\0';
    }
    ~CurrentFolderGuard() { Restore(); }
    CurrentFolderGuard(const CurrentFolderGuard&) = delete;
    CurrentFolderGuard& operator=(const CurrentFolderGuard&) = delete;

    const wchar_t* path() const { return saved_; }
    void Restore() const {
        if (saved_[0]) ::SetCurrentDirectoryW(saved_);
    }

private:
    wchar_t saved_[MAX_PATH + 1] = {};
};

} // namespace zor
