#include "component_registration.h"

#include <windows.h>

#include <cwchar>

#include "cmp_log.h"
#include "cppkg.h"
#include "folder_tree.h"
#include "stub_log.h"
#include "win_handles.h"

namespace zor {
namespace {

std::wstring TextOrEmpty(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring();
}

// "<SystemDrive>\RIDEZEZER\vxxml\". Without a usable "SystemDrive" the folder stays relative
// to the root of the current drive.
std::wstring DefinitionCopyFolder() {
    wchar_t drive[kFolderPathCapacity] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"SystemDrive", drive, kFolderPathCapacity);
    if (length == 0 || length >= kFolderPathCapacity)
        drive[0] = L'\0';
    return std::wstring(drive) + kDefinitionCopyFolder;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// The member is a path inside the extraction folder (the current folder): relative, without
// a drive and without "..". Anything else could name a file outside the package.
bool IsContainedMember(const std::wstring& member) {
    if (member.empty() || IsSeparator(member[0]) || member.find(L':') != std::wstring::npos)
        return false;
    std::size_t start = 0;
    while (start <= member.size()) {
        std::size_t end = start;
        while (end < member.size() && !IsSeparator(member[end]))
            ++end;
        if (member.compare(start, end - start, L"..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

// Copies the definition member into the copy folder under its file name, replacing an older
// copy. Whether the copy succeeds does not change the registration.
void CopyDefinition(const std::wstring& folder, const wchar_t* definitionMember) {
    const std::wstring member = TextOrEmpty(definitionMember);
    if (!IsContainedMember(member))
        return;
    std::size_t nameStart = member.size();
    while (nameStart > 0 && !IsSeparator(member[nameStart - 1]))
        --nameStart;
    const std::wstring target = folder + member.substr(nameStart);
    if (member.size() >= kFolderPathCapacity || target.size() >= kFolderPathCapacity)
        return;
    ::CopyFileW(member.c_str(), target.c_str(), FALSE);
}

// A software key name names one key directly below the shared key. Without one, or with one
// that would reach into nested keys, there is no key of this package to write into.
bool IsUsableKeyName(const std::wstring& name) {
    return !name.empty() && name.find(L'\\') == std::wstring::npos;
}

// Creates or opens `subKey` below `parent` in the 64-bit view with full access; on failure
// logs the step as failed with the key's full path `shownPath`.
bool CreateRecordKey(HKEY parent, const std::wstring& subKey, const std::wstring& shownPath,
                     CCmpLog* log, RegKey& key) {
    if (::RegCreateKeyExW(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(),
                          nullptr) == ERROR_SUCCESS)
        return true;
    StubLog(log).Write(kLogVerboseContinue, kLogInfo, __LINE__, L"Failed!\r\n");
    StubLog(log).Write(kLogNormalOnly, kLogError, __LINE__,
                       L"Failed to update component data...\r\n    - Unable to update registry "
                       L"HKLM\\%s\r\n",
                       shownPath.c_str());
    return false;
}

} // namespace

ComponentRegistration RegistrationOf(const CPPkg& package) {
    ComponentRegistration component;
    component.swKeyName = TextOrEmpty(package.GetSwKeyName());
    component.identity.fileName = TextOrEmpty(package.GetFileName());
    component.identity.expectedPath = TextOrEmpty(package.GetSwKeyExpectedPath());
    return component;
}

int UpdateComponentData(const CPPkg& package, CCmpLog* log, const wchar_t* definitionMember,
                        int32_t result) {
    return RecordComponent(RegistrationOf(package), log, definitionMember, result);
}

int RecordComponent(const ComponentRegistration& component, CCmpLog* log,
                    const wchar_t* definitionMember, int32_t result) {
    if (result != 1 && result != 2)
        return 1;

    const std::wstring folder = DefinitionCopyFolder();
    StubLog(log).Write(kLogVerboseOnly, kLogInfo, __LINE__,
                       L"    - Copying component definition XML to %s...", folder.c_str());
    bool existed = false;
    if (!CreateDirectoryTree(folder.c_str(), existed)) {
        StubLog(log).Write(kLogVerboseContinue, kLogInfo, __LINE__,
                           L"Failed! - Unabled to create directory\r\n");
        StubLog(log).Write(kLogNormalOnly, kLogError, __LINE__,
                           L"Failed to update component data...\r\n"
                           L"    - Unable to copy component definition XML to %s\r\n",
                           folder.c_str());
        return 0;
    }
    CopyDefinition(folder, definitionMember);
    StubLog(log).Write(kLogVerboseContinue, kLogInfo, __LINE__, L"Done.\r\n");

    // Every package's key sits among the others' below the shared key; a package that does
    // not name its own key has no place of its own for a record.
    if (!IsUsableKeyName(component.swKeyName)) {
        StubLog(log).Write(
            kLogBoth, kLogWarning, __LINE__,
            L"No usable software key name in the component definition; the registry record "
            L"was not written.\r\n");
        return 1;
    }

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::wstring installTime = FormatInstallTime(now);

    const std::wstring keyPath = std::wstring(kRevisionManagementKey) + component.swKeyName;
    StubLog(log).Write(kLogVerboseOnly, kLogInfo, __LINE__,
                       L"    - Creating registry key HKLM\\%s...", keyPath.c_str());
    RegKey softwareKey;
    if (!CreateRecordKey(HKEY_LOCAL_MACHINE, keyPath, keyPath, log, softwareKey))
        return 0;

    const std::wstring target = ChooseRecordSubKey(softwareKey.get(), component.identity);
    const std::wstring recordPath = keyPath + L"\\" + target;
    RegKey recordKey;
    if (!CreateRecordKey(softwareKey.get(), target, recordPath, log, recordKey))
        return 0;

    // The values' own outcomes do not decide the result: the record's key exists.
    WriteComponentValues(recordKey.get(), component.identity, installTime);
    StubLog(log).Write(kLogVerboseContinue, kLogInfo, __LINE__, L"Done.\r\n");
    return 1;
}

} // namespace zor
