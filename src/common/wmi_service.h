// Whether the WMI service ("winmgmt") is running on a machine.
#pragma once

namespace zor {

// `machine` names the computer; null or an empty text means this one. True only when the
// service reports the running state; a starting, stopping or stopped service, a missing
// service and any failure to ask give false.
bool IsWmiServiceRunning(const wchar_t* machine);

} // namespace zor
