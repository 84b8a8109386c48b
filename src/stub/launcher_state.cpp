#include "launcher_state.h"

#include <cwchar>

#include "cppkg.h"
#include "res/resource.h"
#include "win_handles.h"
#include "zip_file.h"

namespace zor {
namespace {

HINSTANCE g_instance = nullptr;
LauncherOptions g_options;
int32_t g_runResult = 1;
wchar_t g_languageCode[3] = L"en";
IconHandle g_smallIcon;
IconHandle g_largeIcon;

} // namespace

HINSTANCE LauncherInstance() { return g_instance ? g_instance : ::GetModuleHandleW(nullptr); }
void SetLauncherInstance(HINSTANCE instance) { g_instance = instance; }

LauncherOptions& Options() { return g_options; }
int32_t& RunResultRef() { return g_runResult; }

const wchar_t* LanguageCode() { return g_languageCode; }
void SetLanguageCode(const wchar_t* code) {
    g_languageCode[0] = code && code[0] ? code[0] : L'e';
    g_languageCode[1] = code && code[0] && code[1] ? code[1] : L'n';
    g_languageCode[2] = L'\0';
}

vozoru::ZIP_File& Archive() {
    static vozoru::ZIP_File archive;
    return archive;
}

CPPkg& Package() {
    static CPPkg package;
    return package;
}

HICON SmallIcon() { return g_smallIcon.get(); }
HICON LargeIcon() { return g_largeIcon.get(); }

void LoadPackageIcons() {
    g_smallIcon.reset(static_cast<HICON>(
        ::LoadImageW(LauncherInstance(), MAKEINTRESOURCEW(IDI_PACKAGE), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
    g_largeIcon.reset(static_cast<HICON>(::LoadImageW(
        LauncherInstance(), MAKEINTRESOURCEW(IDI_PACKAGE), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
}

void ReleasePackageIcons() {
    g_smallIcon.reset();
    g_largeIcon.reset();
}

} // namespace zor
