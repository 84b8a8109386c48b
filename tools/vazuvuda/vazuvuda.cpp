// Reference setup utility for demonstration packages. The launcher starts it in the extraction
// folder; it copies the package's "payload" folder to the install folder, notes what it did in
// the shared log, and reports the result through its exit code (1 installed, 0 failed).
// Options (from the package's command_params or the launcher's arguments):
//   /target:<folder>   install folder (default %ProgramFiles%\Arvex\Demo)
//   /exitcode:<n>      report n instead of the copy's result (for trying out return-code maps)
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <memory>
#include <string>

#include "cmp_log.h"
#include "win_handles.h"

namespace {

std::wstring Expand(const wchar_t* text) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(text, buffer, MAX_PATH + 1);
    return length > 0 && length <= MAX_PATH + 1 ? std::wstring(buffer) : std::wstring();
}

// Copies the tree below `from` into `to`, creating folders as needed.
bool CopyTree(const std::wstring& from, const std::wstring& to, int& files) {
    ::SHCreateDirectoryExW(nullptr, to.c_str(), nullptr);
    WIN32_FIND_DATAW data;
    zor::FindHandle find(::FindFirstFileW((from + L"\\*").c_str(), &data));
    if (!find) return false;
    bool ok = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = CopyTree(from + L"\\" + name, to + L"\\" + name, files) && ok;
        } else if (::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE)) {
            ++files;
        } else {
            ok = false;
        }
    } while (::FindNextFileW(find.get(), &data));
    return ok;
}

} // namespace

int wmain() {
    std::wstring target = Expand(L"%ProgramFiles%\\Arvex\\Demo");
    int forcedCode = -1;
    int count = 0;
    std::unique_ptr<LPWSTR, zor::LocalFreeDeleter> argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
    for (int i = 1; argv && i < count; ++i) {
        const wchar_t* argument = argv.get()[i];
        if (_wcsnicmp(argument, L"/target:", 8) == 0) target = argument + 8;
        if (_wcsnicmp(argument, L"/exitcode:", 10) == 0)
            forcedCode = static_cast<int>(std::wcstol(argument + 10, nullptr, 10));
    }

    CCmpLog log(L"vazuvuda.exe.log", nullptr);
    const bool logged = log.Open() == CCmpLog::kOk;
    if (logged) log.Write(kLogBothPlain, kLogInfo, L"vazuvuda.cpp", __LINE__,
                          L"Reference setup utility: installing payload to %s... ", target.c_str());

    int files = 0;
    const bool copied = !target.empty() && CopyTree(L"payload", target, files);
    const int result = forcedCode >= 0 ? forcedCode : (copied ? 1 : 0);
    if (logged) {
        log.Write(kLogBothPlain, copied ? kLogInfo : kLogError, L"vazuvuda.cpp", __LINE__,
                  L"%d file(s) copied, exit code %d.\r\n", files, result);
        log.Close();
    }
    return result;
}
