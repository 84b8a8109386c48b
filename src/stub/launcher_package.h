// Loading the package definition and running the mode that needs it.
#pragma once

namespace zor {

// Loads the process-wide package definition: the member named after the launcher's file,
// else the member that identifies itself as a package definition.
bool LoadPackageDefinition(const wchar_t* launcherPath, const wchar_t* languageCode);

// Runs the silent, no-prompt or dialog mode for the loaded package and sets the run result.
void RunLoadedPackage();

} // namespace zor
