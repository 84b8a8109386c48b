#include "machine_gate.h"

#include <cwchar>
#include <string>

#include "cppkg.h"
#include "exit_code.h"
#include "launcher_options.h"
#include "launcher_state.h"
#include "machine_facts.h"
#include "manufacturer_info.h"
#include "res/resource.h"
#include "resource_text.h"
#include "show_message.h"
#include "smbios_table.h"
#include "stub_log.h"
#include "wmi_service.h"

namespace zor {
namespace {

// SMBIOS structure type that carries the TPM state.
constexpr uint8_t kTpmStructureType = 224;

const wchar_t kVirtualGuestLogText[] =
    L"Execution currently not supported in Server Virtualized Guest operating systems.";

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix) {
    return text && _wcsnicmp(text, prefix, std::wcslen(prefix)) == 0;
}

void Refuse(const StubLog& log, int line, const std::wstring& logText, UINT messageId,
            HWND owner, bool silent) {
    log.Write(kLogBothPlain, kLogError, line, L"\r\n\r\n%s\r\n\r\n", logText.c_str());
    if (!silent) ShowMessage(owner, messageId, kMessageCaptionId, MB_OK | MB_ICONERROR);
    RunResultRef() = kRunFailed;
}

} // namespace

bool NeedsTpmCaution(int tpmState, const wchar_t* expectedPath) {
    return (tpmState == 1 && StartsWithNoCase(expectedPath, L"firmware:system")) ||
           (tpmState == 5 && StartsWithNoCase(expectedPath, L"firmware"));
}

bool PassMachineChecks(const CPPkg& package, const LauncherOptions& options, MachineFacts& facts,
                       const StubLog& log, HWND owner, bool silent) {
    log.Announce(__LINE__, L"Validating WMI service is available... ");
    if (!IsWmiServiceRunning(nullptr)) {
        Refuse(log, __LINE__, LoadEnglishString(IDS_WMI_MISSING), IDS_WMI_MISSING, owner, silent);
        return false;
    }
    log.Done(__LINE__);

    ManufacturerInfo manufacturer(facts);
    log.Announce(__LINE__, L"Checking for virtualized environment... ");
    if (!package.IsVirtualizationAllowed() && manufacturer.IsVirtualGuest()) {
        Refuse(log, __LINE__, kVirtualGuestLogText, IDS_VIRTUAL_GUEST, owner, silent);
        return false;
    }
    log.Done(__LINE__);

    log.Announce(__LINE__, L"Checking TPM state...\r\n");
    SmbiosTable table(facts);
    log.Announce(__LINE__, L"    - Retrieving SMBIOS table... ");
    log.Done(__LINE__);
    const uint8_t* structure = table.FindStructure(kTpmStructureType);
    if (!structure) return true;
    log.Announce(__LINE__, L"    - Reading TPM state... ");
    const int state = GetTpmState(structure);
    log.Done(__LINE__);
    if (!NeedsTpmCaution(state, package.GetSwKeyExpectedPath())) {
        log.Announce(__LINE__, L"    - TPM is not installed or has been disabled.\r\n");
        return true;
    }
    const std::wstring caution = LoadEnglishString(IDS_TPM_CAUTION);
    if (!silent) {
        log.Write(kLogBothPlain, kLogWarning, __LINE__, L"\r\n\r\n%s\r\n\r\n", caution.c_str());
        ShowMessage(owner, IDS_TPM_CAUTION, kMessageCaptionId, MB_OK | MB_ICONWARNING);
        return true;
    }
    if (options.tpmBypass) return true;
    log.Write(kLogBothPlain, kLogError, __LINE__, L"\r\n\r\n%s\r\n\r\n", caution.c_str());
    return false;
}

} // namespace zor
