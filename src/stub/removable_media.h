// Whether a floppy disk or a CD-ROM is left in a drive, so that the user can be asked to take
// it out before the system restarts (and boots from it).
#pragma once
#include <windows.h>

namespace zor {

// The drive facts the check reads. Production asks the system; tests stage their own drives.
class DriveFacts {
public:
    virtual ~DriveFacts() = default;
    // Drive type of a root such as "A:\" (DRIVE_REMOVABLE, DRIVE_CDROM, ...).
    virtual UINT DriveType(const wchar_t* root) const = 0;
    // Whether the root can be read, which for a removable drive means a medium is in it.
    virtual bool RootExists(const wchar_t* root) const = 0;
};

// The system's own drives.
const DriveFacts& SystemDriveFacts();

// True when floppy drive A: or B:, or any CD-ROM drive, holds a medium. The system's
// "insert a disk" error dialogs are switched off while the drives are looked at and the
// previous error mode is restored afterwards.
bool HasRemovableMedia(const DriveFacts& drives);

} // namespace zor
