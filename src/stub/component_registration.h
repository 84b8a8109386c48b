// After a successful installation the launcher leaves two traces for the maker's management
// tools: a copy of the package definition in "<system drive>\RIDEZEZER\vxxml\" and a record
// under the package's software key in HKEY_LOCAL_MACHINE.
#pragma once
#include <cstdint>
#include <string>

#include "component_record.h"

class CCmpLog;

namespace zor {

class CPPkg;

// What registration takes from the package. Texts the package does not have are empty.
struct ComponentRegistration {
    std::wstring swKeyName; // the software key below kRevisionManagementKey
    ComponentIdentity identity;
};

ComponentRegistration RegistrationOf(const CPPkg& package);

// Records the component when `result` is 1 or 2 (installed): copies `definitionMember` (a file
// in the current folder; empty when the definition was not found, then nothing is copied) and
// writes the registry record. `log` may be null. Returns 1 when the record was written or
// nothing was to be done, 0 when the folder, the software key or the record's sub-key could
// not be created.
int UpdateComponentData(const CPPkg& package, CCmpLog* log, const wchar_t* definitionMember,
                        int32_t result);
int RecordComponent(const ComponentRegistration& component, CCmpLog* log,
                    const wchar_t* definitionMember, int32_t result);

} // namespace zor
