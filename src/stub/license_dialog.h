// The License Agreement dialog shown before installing or extracting a package that carries a
// license text.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace zor {

// Whether the loaded package carries a license text.
bool PackageHasLicense();

// True when the package has no license, or when the user accepted it in the License
// Agreement dialog shown modally over `owner`. Declining sets the run result to 3; a dialog
// that cannot be shown counts as declined, since the user never saw the terms.
bool LicenseAccepted(HWND owner);

// The license text as the edit box shows it: every line feed becomes a line break (a carriage
// return is added where none precedes it). `text` holds `length` bytes in the ANSI code page;
// a zero byte ends it early.
std::wstring LicenseDisplayText(const char* text, size_t length);

} // namespace zor
