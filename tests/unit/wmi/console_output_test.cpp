// OpenConsoleOutput in a program that has no console: it runs in a child program so that the
// test's own standard streams stay where CTest reads them. The child's standard handles are a
// file, so the test sees them move to the console. (Without any standard handles, Wine's
// runtime library refuses to reopen the standard streams at all; Windows' does not.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "win_handles.h"

namespace {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return L"";
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::string ReadAll(const std::wstring& path) {
    zor::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    if (!file)
        return "";
    char buffer[512];
    DWORD read = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
        return "";
    return std::string(buffer, read);
}

} // namespace

TEST(OpenConsoleOutput, GivesAWindowedProgramAConsoleForItsStreams) {
    const std::wstring folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    const std::wstring report = folder + L"console_probe.report";
    DeleteFileW(report.c_str());

    const std::wstring streams = folder + L"console_probe.streams";
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    zor::FileHandle streamFile(CreateFileW(streams.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                           CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    ASSERT_TRUE(streamFile) << GetLastError();

    std::wstring commandLine = L"\"" + folder + L"console_probe.exe\" " + report;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = streamFile.get();
    startup.hStdOutput = streamFile.get();
    startup.hStdError = streamFile.get();
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, DETACHED_PROCESS,
                               nullptr, nullptr, &startup, &process))
        << GetLastError();
    zor::KernelHandle processHandle(process.hProcess);
    zor::KernelHandle threadHandle(process.hThread);
    ASSERT_EQ(WaitForSingleObject(processHandle.get(), 30000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    ASSERT_TRUE(GetExitCodeProcess(processHandle.get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);

    EXPECT_EQ(ReadAll(report), "opened=1 again=0 lines=500 stdout=console stdin=console "
                               "stderr=console printed=1");
    DeleteFileW(report.c_str());
}
