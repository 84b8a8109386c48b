#include "install_sequence.h"

#include <windows.h>

#include <commctrl.h>

#include <cwchar>
#include <memory>
#include <string>

#include "cmp_log.h"
#include "command_line_builder.h"
#include "component_registration.h"
#include "config_file_writer.h"
#include "cppkg.h"
#include "current_folder.h"
#include "exit_code.h"
#include "extraction_steps.h"
#include "folder_tree.h"
#include "launcher_state.h"
#include "machine_gate.h"
#include "module_info.h"
#include "package_locator.h"
#include "progress_window.h"
#include "res/resource.h"
#include "resource_text.h"
#include "setup_runner.h"
#include "show_message.h"
#include "stub_log.h"
#include "tray_icon.h"
#include "winpe.h"
#include "zip_file.h"

namespace zor {
namespace {

const wchar_t kLogFolder[] = L"%systemdrive%\\ridezezer\\log\\";
const wchar_t kStubVersion[] = L"3.4.0.0";
const wchar_t kConfigFailureText[] =
    L"Arvex Package Setup was unable to extract the configuration file properly.  Installation "
    L"will not continue.\r\n";
constexpr DWORD kFixedPauseMs = 2000;

using LogPtr = std::unique_ptr<CCmpLog, CCmpLog::Deleter>;

// The verbose log is named after the launcher's file: "<name.exe>.log".
std::wstring VerboseLogName() {
    wchar_t name[MAX_PATH + 1] = {};
    GetModuleFileNameOnly(name, MAX_PATH + 1);
    return std::wstring(name) + L".log";
}

// The extraction folder and whether this run created it; a folder the run created is removed
// when the run ends, successful or not, and a folder that existed before keeps its content.
class ExtractionFolder {
public:
    ~ExtractionFolder() { Remove(); }
    bool Create(const StubLog& log, const LauncherOptions& options);
    const std::wstring& path() const { return path_; }
    void Remove() {
        RemoveExtractionFolder(path_.c_str(), created_);
        created_ = false;
    }

private:
    std::wstring path_;
    bool created_ = false;
};

bool ExtractionFolder::Create(const StubLog& log, const LauncherOptions& options) {
    log.Announce(__LINE__, L"Creating extraction directory... ");
    bool ok = false;
    if (options.useInstPath) {
        path_ = options.instPath;
        bool existed = false;
        ok = !path_.empty() && CreateDirectoryTree(path_.c_str(), existed);
        created_ = ok && !existed;
    } else {
        wchar_t folder[MAX_PATH + 1] = {};
        ok = CreateExtractionFolder(folder, MAX_PATH + 1);
        path_ = folder;
        created_ = ok;
    }
    if (!ok) {
        log.Write(kLogNormalOnly, kLogError, __LINE__, L"Unable to create extraction directory [%s].\r\n",
                  path_.c_str());
        log.Failed(__LINE__);
        return false;
    }
    log.Done(__LINE__);
    return true;
}

// The log of one installation: created, opened and its session begun. Null when the log
// cannot be opened (the run goes on unlogged, unless silent).
bool CreateLog(LogPtr& log, bool silent) {
    const std::wstring name = VerboseLogName();
    log.reset(new CCmpLog(name.c_str(), kLogFolder));
    log->SetStubVersion(kStubVersion);
    log->SetVerbose(Options().verboseLog ? 1 : 0);
    if (log->Open() != CCmpLog::kOk) {
        log.reset();
        if (!IsWinPE()) {
            if (silent) return false;
            ShowMessage(nullptr, IDS_LOG_NOT_OPENED, kMessageCaptionId, MB_OK | MB_ICONWARNING);
        }
        return true;
    }
    log->BeginSession();
    return true;
}

// Exit code 2 means a restart is needed: ask whether to restart now. The answer sets the
// reboot option either way, overriding "/reboot".
void AskForRestart(HWND owner) {
    const std::wstring text = LoadLocalizedString(IDS_REBOOT_REQUIRED) + L"\r\n\r\n" +
                              LoadLocalizedString(IDS_REBOOT_QUESTION);
    const std::wstring caption = LoadLocalizedString(IDS_REBOOT_CAPTION);
    if (owner) {
        ::ShowWindow(owner, SW_SHOW);
        ::ShowWindow(owner, SW_RESTORE);
    }
    const int answer = ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO);
    if (owner) ::ShowWindow(owner, SW_HIDE);
    Options().reboot = (answer == IDYES);
}

// Builds message 1004 for the install command: the table's text with its one "%s" filled in.
std::wstring CannotStartText(const std::wstring& pattern, const wchar_t* command) {
    std::wstring text = pattern;
    const size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, command ? command : L"");
    return text;
}

void ReportSetupNotStarted(const StubLog& log, HWND owner, const wchar_t* command, bool silent) {
    log.Write(kLogBothPlain, kLogCritical, __LINE__, L"Unable to start setup utility - %s\r\n\r\n",
              command);
    const std::wstring logText = CannotStartText(LoadEnglishString(IDS_CANNOT_START), command);
    log.Write(kLogBothPlain, kLogInfo, __LINE__, L"%s", logText.c_str());
    log.Write(kLogBothPlain, kLogInfo, __LINE__, L"\r\n");
    if (silent) return;
    if (owner) {
        ::ShowWindow(owner, SW_SHOW);
        ::ShowWindow(owner, SW_RESTORE);
    }
    const std::wstring text = CannotStartText(LoadLocalizedString(IDS_CANNOT_START), command);
    ShowMessageText(owner, text.c_str(), kMessageCaptionId, MB_OK | MB_ICONERROR);
}

// Ends the owner window after a run: the main dialog is modal, so it is ended the way modal
// dialogs must be; any other window is destroyed.
void CloseOwner(HWND owner) {
    if (!owner) return;
    wchar_t className[16] = {};
    if (::GetClassNameW(owner, className, 16) && std::wcscmp(className, L"#32770") == 0)
        ::EndDialog(owner, 0);
    else
        ::DestroyWindow(owner);
}

void DestroyWindows(HWND& progress, HWND owner) {
    if (progress) ::DestroyWindow(progress);
    progress = nullptr;
    CloseOwner(owner);
}

} // namespace

int32_t RunInstall(HWND owner, bool silent, MachineFacts& facts) {
    const CPPkg& package = Package();
    const LauncherOptions& options = Options();
    LogPtr logObject;
    if (!CreateLog(logObject, silent)) return 0;
    const StubLog log(logObject.get());

    if (package.IsSettingOn(L"DISABLE_INSTALL_BUTTON") || !package.GetInstallCommand()) return 0;
    if (!PassMachineChecks(package, options, facts, log, owner, silent)) return 0;

    // The folder guard comes after the extraction folder, so that on every way out the
    // current folder is restored before the extraction folder is removed.
    ExtractionFolder folder;
    const CurrentFolderGuard saved;
    if (!folder.Create(log, options)) return 0;

    log.Write(kLogVerboseOnly, kLogInfo, __LINE__,
              L"Changing current directory to extraction directory [%s]... ", folder.path().c_str());
    if (!::SetCurrentDirectoryW(folder.path().c_str())) {
        log.Write(kLogNormalOnly, kLogError, __LINE__, L"Unable to set current directory to %s.\r\n",
                  folder.path().c_str());
        log.Failed(__LINE__);
        return 0;
    }
    log.Done(__LINE__);

    log.Announce(__LINE__, L"Verifying required disk space is available... ");
    uint64_t required = 0;
    package.GetPackageSize(&required);
    const uint64_t available = AvailableBytesHere();
    if (available <= required) {
        if (!silent) {
            const std::wstring text = FormatDiskSpaceMessage(required, available);
            ShowMessageText(owner, text.c_str(), kMessageCaptionId, MB_OK | MB_ICONWARNING);
        }
        log.Write(kLogNormalOnly, kLogError, __LINE__, L"%s",
                  FormatDiskSpaceMessage(required, available, true).c_str());
        log.Failed(__LINE__);
        return 0;
    }
    log.Done(__LINE__);

    HWND progress = silent ? nullptr : CreateProgressWindow(owner);

    log.Announce(__LINE__, L"Locating component definition XML file... ");
    std::wstring definitionMember;
    if (LocatePackageDefinition(Archive(), definitionMember)) {
        log.Done(__LINE__);
    } else {
        log.Write(kLogNormalOnly, kLogError, __LINE__,
                  L"Unable to locate component definition XML file.\r\n");
        log.Failed(__LINE__);
    }
    log.Announce(__LINE__, L"Extracting component contents... ");

    if (ExtractPackageInto(folder.path().c_str(), ProgressBarOf(progress)) != 0) {
        if (!silent) ShowMessage(owner, IDS_CANNOT_EXTRACT, kMessageCaptionId, MB_OK | MB_ICONERROR);
        DestroyWindows(progress, owner);
        log.Write(kLogNormalOnly, kLogError, __LINE__, L"%s\r\n",
                  LoadEnglishString(IDS_CANNOT_EXTRACT).c_str());
        log.Failed(__LINE__, kLogVerboseOnly);
        return 0;
    }
    log.Done(__LINE__);

    if (options.configFileFound) {
        log.Announce(__LINE__, L"Copy CFG file... ");
        std::wstring target;
        const bool copied = CopyConfigFileInto(folder.path().c_str(), options.configFilePath, target);
        log.Write(kLogBothPlain, kLogInfo, __LINE__,
                  L"\r\nCopy CFG file returncode[%d] copyFileName[%s] newPath[%s]\n", copied ? 1 : 0,
                  options.configFilePath, target.c_str());
    } else {
        log.Announce(__LINE__, L"Extracting configuration file... ");
        if (!WriteConfigFile(package, Archive())) {
            if (!silent)
                ShowMessage(owner, IDS_CANNOT_EXTRACT, kMessageCaptionId, MB_OK | MB_ICONERROR);
            DestroyWindows(progress, owner);
            log.Write(kLogNormalOnly, kLogError, __LINE__, L"%s", kConfigFailureText);
            log.Failed(__LINE__);
            return 0;
        }
        log.Done(__LINE__);
    }

    TrayIcon trayIcon;
    trayIcon.Add(owner, SmallIcon(), package.GetLocalizedName());

    if (!silent) {
        if (HWND bar = ProgressBarOf(progress)) ::SendMessageW(bar, PBM_SETPOS, 100, 0);
        ::Sleep(kFixedPauseMs);
        if (progress) ::DestroyWindow(progress);
        progress = nullptr;
        if (owner) {
            ::ShowWindow(owner, SW_MINIMIZE);
            ::ShowWindow(owner, SW_HIDE);
        }
    }

    log.Announce(__LINE__, L"Building installation command line... ");
    std::wstring arguments;
    if (!BuildCommandLine(package, ::GetCommandLineW(), arguments)) {
        log.Write(kLogNormalOnly, kLogError, __LINE__, L"Installation command line failed to build.\r\n");
        log.Failed(__LINE__);
        // The owner was hidden above; ending it here keeps a dialog run from staying open
        // but invisible.
        if (!silent) CloseOwner(owner);
        return 0;
    }
    log.Done(__LINE__);
    const std::wstring commandLine = FullSetupCommandLine(folder.path(), arguments);

    DWORD exitCode = 1;
    bool started = true;
    if (!(options.silent && options.dryRun)) {
        const wchar_t* command = package.GetInstallCommand();
        log.Write(kLogBothPlain, kLogInfo, __LINE__, L"\r\nExecuting setup utility - %s...\r\n\r\n",
                  command);
        if (RunSetupUtility(commandLine, folder.path(), silent, exitCode)) {
            log.Write(kLogBothPlain, kLogInfo, __LINE__, L"Setup utility completed.\r\n\r\n");
            if (exitCode == 2 && !options.silent) AskForRestart(owner);
        } else {
            started = false;
            exitCode = kSetupNotStartedCode;
            ReportSetupNotStarted(log, owner, command, silent);
        }
    }

    log.Announce(__LINE__, L"Translating return code... ");
    // A setup utility that never ran is a failure whatever the package's return-code map
    // would make of a stand-in exit code.
    const int32_t result =
        started ? package.MapReturnCode(static_cast<int32_t>(exitCode)) : kRunFailed;
    log.Done(__LINE__);

    trayIcon.Remove();
    if (!silent) CloseOwner(owner);

    log.Announce(__LINE__, L"Updating component data...\r\n");
    UpdateComponentData(package, logObject.get(), definitionMember.c_str(), result);

    log.Write(kLogVerboseOnly, kLogInfo, __LINE__, L"Restoring current directory %s... ",
              saved.path());
    saved.Restore();
    log.Done(__LINE__);

    ::Sleep(kFixedPauseMs);
    folder.Remove();
    if (logObject) {
        logObject->EndSession(result);
        logObject->Close();
    }
    return result;
}

} // namespace zor
