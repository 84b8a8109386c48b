// Tells whether the launcher was started by the management agent, which expects exit codes
// in the DOS convention.
#pragma once

namespace zor {

// The agent's executable name, compared ignoring case.
constexpr const wchar_t* kAgentExecutable = L"dododi.exe";

// True when the parent process's executable name is the agent's.
bool IsStartedByAgent();

} // namespace zor
