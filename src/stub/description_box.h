// The main dialog's description box: a read-only Rich Edit 1.0 control that presents the
// package (name, version, when its configuration was last changed, description) and never
// keeps the keyboard focus, so that Enter and the mnemonics always reach the buttons.
#pragma once
#include <windows.h>

#include <string>

namespace vozoru {
class ZIP_File;
}

namespace zor {

class CPPkg;

// The lines shown, top to bottom: the name; "Version: " and the version; "Last Configured: "
// with the configuration member's date and time when the package has a configuration user
// interface and the archive holds the member; an empty line; the description. The labels
// come from the string table in the chosen language.
struct DescriptionLines {
    std::wstring name;
    std::wstring versionLine;
    std::wstring configuredLine; // empty when not shown
    std::wstring description;
};
DescriptionLines ComposeDescription(const CPPkg& package, const vozoru::ZIP_File& archive);

// Writes the lines into `box` in the face `faceName`, the name in bold 11 points, and hides
// the selection.
void FillDescriptionBox(HWND box, const DescriptionLines& lines, const std::wstring& faceName);

// Makes `box` hand the focus straight back to the window that had it; RestoreDescriptionBox
// puts the control's own window procedure back.
bool KeepFocusAway(HWND box);
void RestoreDescriptionBox(HWND box);

} // namespace zor
