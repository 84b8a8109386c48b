#include "host_shell.h"

#include <cstdlib>
#include <vector>

#include "process_runner.h"
#include "temp_folder.h"

namespace zor::test {
namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &result[0],
                              size, nullptr, nullptr);
    return result;
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!PathExists(path)) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(50);
    }
    return true;
}

// Wine starts a host program named by a host path as a host process; it has no Windows
// process handle, so completion is seen through the files the script writes.
bool StartHostScript(const std::wstring& scriptPath) {
    const std::string hostScript = HostPathOf(scriptPath);
    if (hostScript.empty()) return false;
    std::wstring command = L"/bin/sh ";
    command += std::wstring(hostScript.begin(), hostScript.end());
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    if (process.hThread) ::CloseHandle(process.hThread);
    if (process.hProcess) ::CloseHandle(process.hProcess);
    return true;
}

bool WriteScript(const std::wstring& path, const std::string& script) {
    return WriteFileBytes(path, std::vector<unsigned char>(script.begin(), script.end()));
}

} // namespace

std::string HostPathOf(const std::wstring& path) {
    using ToHost = char*(CDECL*)(LPCWSTR);
    auto toHost = reinterpret_cast<ToHost>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toHost) return std::string();
    char* host = toHost(path.c_str());
    if (!host) return std::string();
    std::string result(host);
    ::HeapFree(::GetProcessHeap(), 0, host);
    return result;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool RunHostScript(const std::wstring& folder, const std::string& script,
                   const std::wstring& doneFile, DWORD timeoutMs) {
    static int counter = 0;
    const std::wstring scriptPath = folder + L"\\host" + std::to_wstring(++counter) + L".sh";
    const bool done = WriteScript(scriptPath, script) && StartHostScript(scriptPath) &&
                      WaitForFile(doneFile, timeoutMs);
    ::DeleteFileW(scriptPath.c_str());
    return done;
}

bool SaveScreenshot(const std::wstring& pngPath) {
    const size_t slash = pngPath.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? L"." : pngPath.substr(0, slash);
    MakeFolder(folder);
    const std::wstring done = pngPath + L".done";
    ::DeleteFileW(done.c_str());
    // The path is made before the file exists, so its host form comes from the folder's.
    const std::string hostFolder = HostPathOf(folder);
    const std::string name = Utf8(pngPath.substr(slash + 1));
    if (hostFolder.empty()) return false;
    const std::string target = hostFolder + "/" + name;
    const std::string script = "xwd -root -silent | convert xwd:- " + ShellQuote(target) +
                               "\ntouch " + ShellQuote(target + ".done") + "\n";
    const bool ok = RunHostScript(folder, script, done, 20000);
    ::DeleteFileW(done.c_str());
    return ok && PathExists(pngPath);
}

LocaleProcess::LocaleProcess(const std::wstring& folder, const std::wstring& program,
                             const std::wstring& arguments, const char* locale) {
    static int counter = 0;
    exitFile_ = folder + L"\\exit" + std::to_wstring(++counter) + L".txt";
    const std::string hostFolder = HostPathOf(folder);
    const std::string hostProgram = HostPathOf(program);
    if (hostFolder.empty() || hostProgram.empty()) return;
    const std::string exitHost = hostFolder + "/" + Utf8(exitFile_.substr(folder.size() + 1));
    const std::string script = std::string("LANG=") + locale + " LC_ALL=" + locale + " wine " +
                               ShellQuote(hostProgram) + " " + Utf8(arguments) +
                               " >/dev/null 2>&1\necho $? > " + ShellQuote(exitHost + ".tmp") +
                               "\nmv " + ShellQuote(exitHost + ".tmp") + " " +
                               ShellQuote(exitHost) + "\n";
    const std::wstring scriptPath = exitFile_ + L".sh";
    started_ = WriteScript(scriptPath, script) && StartHostScript(scriptPath);
}

long LocaleProcess::Wait(DWORD timeoutMs) const {
    if (!started_ || !WaitForFile(exitFile_, timeoutMs)) return -1;
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(exitFile_, bytes)) return -1;
    std::string text(bytes.begin(), bytes.end());
    char* end = nullptr;
    const long code = std::strtol(text.c_str(), &end, 10);
    return end == text.c_str() ? -1 : code;
}

} // namespace zor::test
