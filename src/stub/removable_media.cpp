#include "removable_media.h"

namespace zor {
namespace {

class SystemDrives final : public DriveFacts {
public:
    UINT DriveType(const wchar_t* root) const override { return ::GetDriveTypeW(root); }
    bool RootExists(const wchar_t* root) const override {
        return ::GetFileAttributesW(root) != INVALID_FILE_ATTRIBUTES;
    }
};

// Adds SEM_FAILCRITICALERRORS to the process's error mode, keeping the other flags the process
// chose, and restores the previous mode however the check ends.
class CriticalErrorsOff {
public:
    CriticalErrorsOff() : previous_(::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS)) {}
    ~CriticalErrorsOff() { ::SetErrorMode(previous_); }
    CriticalErrorsOff(const CriticalErrorsOff&) = delete;
    CriticalErrorsOff& operator=(const CriticalErrorsOff&) = delete;

private:
    UINT previous_;
};

} // namespace

const DriveFacts& SystemDriveFacts() {
    static const SystemDrives drives;
    return drives;
}

bool HasRemovableMedia(const DriveFacts& drives) {
    // Looking at an empty drive would otherwise ask the user to insert a medium.
    CriticalErrorsOff errorsOff;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        const UINT type = drives.DriveType(root);
        // Removable drives count only under the floppy letters; other removable drives, such
        // as USB sticks, are not asked about.
        const bool floppy = type == DRIVE_REMOVABLE && (letter == L'A' || letter == L'B');
        if ((floppy || type == DRIVE_CDROM) && drives.RootExists(root))
            return true;
    }
    return false;
}

} // namespace zor
