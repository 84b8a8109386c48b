// The system restart with a recording shutdown control (nothing is ever restarted here) and
// staged drives; the media warning is a real message box, read and closed like a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <functional>
#include <map>
#include <vector>

#include "launcher_options.h"
#include "reboot.h"
#include "removable_media.h"
#include "window_driver.h"

namespace zor::test {
namespace {

class RecordingShutdown : public ShutdownControl {
public:
    bool AcquireShutdownPrivilege(KernelHandle&) override {
        ++privilegeCalls;
        return privilegeResult;
    }
    bool RequestShutdown(const ShutdownRequest& request) override {
        requests.push_back(request);
        return true;
    }

    bool privilegeResult = true;
    int privilegeCalls = 0;
    std::vector<ShutdownRequest> requests;
};

// Installs a shutdown control for one test and puts the system's back afterwards.
class ScopedShutdownControl {
public:
    explicit ScopedShutdownControl(ShutdownControl& control)
        : previous_(InstallShutdownControl(&control)) {}
    ~ScopedShutdownControl() { InstallShutdownControl(previous_); }
    ScopedShutdownControl(const ScopedShutdownControl&) = delete;
    ScopedShutdownControl& operator=(const ScopedShutdownControl&) = delete;

private:
    ShutdownControl* previous_;
};

struct StagedDrive {
    UINT type;
    bool medium;
};

class StagedDrives : public DriveFacts {
public:
    explicit StagedDrives(std::map<wchar_t, StagedDrive> drives) : drives_(std::move(drives)) {}
    UINT DriveType(const wchar_t* root) const override {
        modeWhileAsked = ::GetErrorMode();
        const auto found = drives_.find(root[0]);
        return found == drives_.end() ? DRIVE_NO_ROOT_DIR : found->second.type;
    }
    bool RootExists(const wchar_t* root) const override {
        const auto found = drives_.find(root[0]);
        return found != drives_.end() && found->second.medium;
    }

    mutable UINT modeWhileAsked = 0; // the error mode when the last drive was asked about

private:
    std::map<wchar_t, StagedDrive> drives_;
};

const StagedDrives kNoMedia({{L'C', {DRIVE_FIXED, true}}, {L'D', {DRIVE_CDROM, false}}});
const StagedDrives kDiscInserted({{L'C', {DRIVE_FIXED, true}}, {L'R', {DRIVE_CDROM, true}}});

// What "/reboot_message" leaves in the options (the parser bounds it the same way).
void SetRebootMessage(LauncherOptions& options, const std::wstring& text) {
    const size_t length = std::min<size_t>(text.size(), kRebootMessageMax);
    std::wmemcpy(options.rebootMessage, text.c_str(), length);
    options.rebootMessage[length] = L'\0';
}

const wchar_t kStandardMessage[] = L"Arvex Setup is initiating a reboot of your system.";

// Runs `action` on a second thread. A message box it shows is described and closed with OK;
// `whileShown` runs before the button is pressed. Returns the box's description (empty
// caption when none appeared).
WindowInfo RunWatchingForMessageBox(const std::function<void()>& action,
                                    const std::function<void()>& whileShown = {}) {
    struct Job {
        std::function<void()> action;
        static DWORD WINAPI Run(void* parameter) {
            static_cast<Job*>(parameter)->action();
            return 0;
        }
    } job{action};
    KernelHandle thread(::CreateThread(nullptr, 0, &Job::Run, &job, 0, nullptr));
    WindowInfo shown;
    if (!thread.valid())
        return shown;
    // The action either ends by itself or waits for its message box.
    while (::WaitForSingleObject(thread.get(), 100) == WAIT_TIMEOUT) {
        HWND box = WaitForProcessWindow(::GetCurrentProcessId(), 100);
        if (!box)
            continue;
        shown = DescribeWindow(box);
        if (whileShown)
            whileShown();
        PressButton(box, IDOK);
        ::WaitForSingleObject(thread.get(), 10000);
        break;
    }
    return shown;
}

TEST(RestartWanted, OnlyARestartResultWithTheRebootFlag) {
    struct Case {
        int32_t result;
        bool reboot;
        bool expected;
    };
    const Case cases[] = {
        {1, true, false}, {2, true, true}, {2, false, false}, {0, true, false}, {3, true, false},
    };
    for (const Case& c : cases) {
        LauncherOptions options;
        options.silent = true;
        options.reboot = c.reboot;
        EXPECT_EQ(RestartWanted(c.result, options), c.expected)
            << "result " << c.result << ", reboot " << c.reboot;
    }
}

TEST(RebootSystem, RequestsARestartWithTheChosenMessageAndDelay) {
    struct Case {
        const wchar_t* message;
        int32_t timeout;
        const wchar_t* expectedMessage;
        DWORD expectedTimeout;
    };
    const Case cases[] = {
        {L"", 0, kStandardMessage, 0},
        {L"Maintenance restart", 30, L"Maintenance restart", 30},
        {L"", -5, kStandardMessage, 0}, // a negative "/t" would mean years
    };
    for (const Case& c : cases) {
        RecordingShutdown shutdown;
        ScopedShutdownControl installed(shutdown);
        LauncherOptions options;
        options.silent = true;
        SetRebootMessage(options, c.message);
        options.shutdownTimeout = c.timeout;

        RebootSystem(options, kNoMedia);

        ASSERT_EQ(shutdown.requests.size(), 1u);
        const ShutdownRequest& request = shutdown.requests[0];
        EXPECT_EQ(request.message, c.expectedMessage);
        EXPECT_EQ(request.timeoutSeconds, c.expectedTimeout);
        EXPECT_TRUE(request.forceAppsClosed);
        EXPECT_TRUE(request.rebootAfterShutdown);
        EXPECT_EQ(request.reason,
                  static_cast<DWORD>(SHTDN_REASON_MAJOR_APPLICATION |
                                     SHTDN_REASON_MINOR_INSTALLATION | SHTDN_REASON_FLAG_PLANNED));
    }
}

TEST(RebootSystem, LongestRestartMessageIsPassedWhole) {
    RecordingShutdown shutdown;
    ScopedShutdownControl installed(shutdown);
    LauncherOptions options;
    options.silent = true;
    const std::wstring longest(kRebootMessageMax, L'm');
    SetRebootMessage(options, longest);
    RebootSystem(options, kNoMedia);
    ASSERT_EQ(shutdown.requests.size(), 1u);
    EXPECT_EQ(shutdown.requests[0].message, longest);
}

TEST(RebootSystem, EndsQuietlyWhenThePrivilegeCannotBeEnabled) {
    RecordingShutdown shutdown;
    shutdown.privilegeResult = false;
    ScopedShutdownControl installed(shutdown);
    LauncherOptions options;
    options.silent = true;
    RebootSystem(options, kNoMedia);
    EXPECT_EQ(shutdown.privilegeCalls, 1);
    EXPECT_TRUE(shutdown.requests.empty());
}

TEST(RebootSystem, WarnsAboutAnInsertedDiscBeforeRestartingUnlessSilent) {
    RecordingShutdown shutdown;
    ScopedShutdownControl installed(shutdown);
    LauncherOptions options;
    size_t requestsWhileShown = 99;
    const WindowInfo box =
        RunWatchingForMessageBox([&] { RebootSystem(options, kDiscInserted); },
                                 [&] { requestsWhileShown = shutdown.requests.size(); });

    EXPECT_EQ(box.caption, L"Disks Found in Drives");
    EXPECT_EQ(box.StaticTexts(), L"A disk is in a floppy drive or CD-ROM drive.  Please remove "
                                 L"any disks in these drives before rebooting.");
    bool hasIcon = false;
    for (const ControlInfo& control : box.controls)
        hasIcon |= control.icon != nullptr;
    EXPECT_TRUE(hasIcon);
    EXPECT_NE(box.Control(IDOK), nullptr);
    EXPECT_EQ(box.Control(IDCANCEL), nullptr);
    // The restart waits for the warning to be closed, then goes on.
    EXPECT_EQ(requestsWhileShown, 0u);
    EXPECT_EQ(shutdown.requests.size(), 1u);
}

TEST(RebootSystem, NoWarningWhenSilentOrNoMediumIsInserted) {
    struct Case {
        bool silent;
        const StagedDrives* drives;
    };
    for (const Case& c : {Case{true, &kDiscInserted}, Case{false, &kNoMedia}}) {
        RecordingShutdown shutdown;
        ScopedShutdownControl installed(shutdown);
        LauncherOptions options;
        options.silent = c.silent;
        const WindowInfo box = RunWatchingForMessageBox([&] { RebootSystem(options, *c.drives); });
        EXPECT_TRUE(box.window == nullptr) << "silent " << c.silent;
        EXPECT_EQ(shutdown.requests.size(), 1u) << "silent " << c.silent;
    }
}

TEST(HasRemovableMedia, CountsFloppyLettersAndCdromDrivesWithAMedium) {
    struct Case {
        const char* what;
        std::map<wchar_t, StagedDrive> drives;
        bool expected;
    };
    const Case cases[] = {
        {"fixed disks only", {{L'C', {DRIVE_FIXED, true}}}, false},
        {"USB stick at E:", {{L'E', {DRIVE_REMOVABLE, true}}}, false},
        {"floppy in A:", {{L'A', {DRIVE_REMOVABLE, true}}}, true},
        {"floppy in B:", {{L'B', {DRIVE_REMOVABLE, true}}}, true},
        {"empty floppy drive", {{L'A', {DRIVE_REMOVABLE, false}}}, false},
        {"fixed disk lettered A:", {{L'A', {DRIVE_FIXED, true}}}, false},
        {"disc in Z:", {{L'Z', {DRIVE_CDROM, true}}}, true},
        {"empty CD-ROM drive", {{L'D', {DRIVE_CDROM, false}}}, false},
        {"network drive", {{L'N', {DRIVE_REMOTE, true}}}, false},
    };
    for (const Case& c : cases) {
        const StagedDrives drives(c.drives);
        EXPECT_EQ(HasRemovableMedia(drives), c.expected) << c.what;
    }
}

TEST(HasRemovableMedia, SwitchesCriticalErrorDialogsOffKeepingTheOtherFlagsAndRestoresTheMode) {
    const UINT original = ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
    const StagedDrives drives({{L'D', {DRIVE_CDROM, true}}});
    EXPECT_TRUE(HasRemovableMedia(drives));
    EXPECT_EQ(drives.modeWhileAsked,
              static_cast<UINT>(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS));
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    ::SetErrorMode(original);
}

// The system's own privilege step, on this process (enabling a privilege restarts nothing).
TEST(SystemShutdownControl, EnablesTheShutdownPrivilege) {
    KernelHandle token;
    ASSERT_TRUE(SystemShutdownControl().AcquireShutdownPrivilege(token));
    ASSERT_TRUE(token.valid());
    PRIVILEGE_SET required = {};
    required.PrivilegeCount = 1;
    required.Control = PRIVILEGE_SET_ALL_NECESSARY;
    ASSERT_TRUE(::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &required.Privilege[0].Luid));
    BOOL enabled = FALSE;
    ASSERT_TRUE(::PrivilegeCheck(token.get(), &required, &enabled));
    EXPECT_TRUE(enabled);
}

} // namespace
} // namespace zor::test
