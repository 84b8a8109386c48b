// The launcher's process-wide state: one instance of each, shared by the entry, the install
// sequence and the dialogs, all on the launcher's one thread.
#pragma once
#include <windows.h>

#include <cstdint>

#include "launcher_options.h"

namespace vozoru {
class ZIP_File;
}

namespace zor {

class CPPkg;

HINSTANCE LauncherInstance();
void SetLauncherInstance(HINSTANCE instance);

LauncherOptions& Options();

// Result of the run; 1 at start, written by the entry, the install sequence and the dialogs.
int32_t& RunResultRef();

// The two-letter language code chosen at start ("en" until then).
const wchar_t* LanguageCode();
void SetLanguageCode(const wchar_t* code);

// The archive inside the launcher's own file.
vozoru::ZIP_File& Archive();

// The package definition, empty until the entry loads it.
CPPkg& Package();

// Package icon (resource 102) at the small-icon size and at its default size; null until the
// package definition is loaded.
HICON SmallIcon();
HICON LargeIcon();
void LoadPackageIcons();
void ReleasePackageIcons();

} // namespace zor
