// The registry record of an installed component: one numbered sub-key per component under the
// package's software key, which the maker's management tools read.
#pragma once
#include <windows.h>

#include <string>

namespace zor {

// Key under HKEY_LOCAL_MACHINE (64-bit view) that holds every package's software key.
constexpr wchar_t kRevisionManagementKey[] =
    L"Software\\Arvex-Tellam\\Version Control\\ArvexRevisionManagement\\";

// Folder of the definition copies below the system drive; also the "ComponentXmlPath" value.
constexpr wchar_t kDefinitionCopyFolder[] = L"\\RIDEZEZER\\vxxml\\";

// Longest stored text compared when looking for a component's record, terminator excluded.
constexpr std::size_t kRecordValueMax = 2048;

// What a record says about its component. A text the package does not have is empty.
struct ComponentIdentity {
    std::wstring fileName;     // "ComponentFileName"
    std::wstring expectedPath; // "ComponentKeyExpectedPath"
};

// True when the record in `subKey` names this component: its "ComponentFileName" or its
// "ComponentKeyExpectedPath" equals the package's text exactly (letter case counts). An empty
// text identifies nothing, so two packages that both lack a text never claim each other's
// record through it.
bool RecordHoldsComponent(HKEY subKey, const ComponentIdentity& identity);

// Name of the sub-key of `softwareKey` that receives this component's record: the
// lowest-numbered sub-key that already holds it, else the smallest decimal number not in use.
// Further sub-keys holding the same component are deleted, so that one record remains; a
// record of another component is never chosen or deleted.
std::wstring ChooseRecordSubKey(HKEY softwareKey, const ComponentIdentity& identity);

// "InstallTime": the short date and the time forced to 24 hours, both in the system default
// locale, joined by "-".
std::wstring FormatInstallTime(const SYSTEMTIME& localTime);

// Writes the four values of a record. Each write is attempted; false when any failed.
bool WriteComponentValues(HKEY subKey, const ComponentIdentity& identity,
                          const std::wstring& installTime);

} // namespace zor
