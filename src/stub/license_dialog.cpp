#include "license_dialog.h"

#include <cstdint>
#include <vector>

#include "ansi_text.h"
#include "cppkg.h"
#include "exit_code.h"
#include "launcher_state.h"
#include "res/resource.h"
#include "resource_text.h"

namespace zor {
namespace {

// A license member larger than this is not shown (the box stays empty): the member's declared
// size decides the allocation, so it is held to a size no real license text reaches.
constexpr uint32_t kLicenseMaxBytes = 4u * 1024u * 1024u;

std::wstring ReadLicenseText() {
    const CPPkg& package = Package();
    uint32_t needed = 0;
    if (!package.GetLicense(nullptr, &needed) || needed == 0 || needed > kLicenseMaxBytes)
        return std::wstring();
    std::vector<char> buffer(needed);
    uint32_t length = needed;
    if (!package.GetLicense(buffer.data(), &length))
        return std::wstring();
    return LicenseDisplayText(buffer.data(), buffer.size());
}

INT_PTR CALLBACK LicenseDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        // The edit box's typing limit does not apply to text set by the program, but raising
        // it keeps long licenses whole on every platform version.
        ::SendDlgItemMessageW(dialog, IDC_LICENSE_TEXT, EM_SETLIMITTEXT, 0, 0);
        ::SetDlgItemTextW(dialog, IDC_LICENSE_TEXT, ReadLicenseText().c_str());
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    if (LOWORD(wParam) == IDOK) {
        ::EndDialog(dialog, 1);
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        RunResultRef() = kRunDialogClosed;
        ::EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace

bool PackageHasLicense() {
    uint32_t needed = 0;
    return Package().GetLicense(nullptr, &needed);
}

bool LicenseAccepted(HWND owner) {
    if (!PackageHasLicense())
        return true;
    return ShowLocalizedDialog(IDD_LICENSE, owner, LicenseDialog, 0) == 1;
}

std::wstring LicenseDisplayText(const char* text, size_t length) {
    if (!text)
        return std::wstring();
    std::string expanded;
    expanded.reserve(length * 2 + 1);
    for (size_t i = 0; i < length && text[i] != '\0'; ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            expanded += '\r';
        expanded += text[i];
    }
    return AnsiToWide(expanded.data(), expanded.size());
}

} // namespace zor
