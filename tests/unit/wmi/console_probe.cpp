// A windowed program without a console: gives itself one through OpenConsoleOutput and writes
// what it then has into the file named by its argument, for console_output_test.
#include <windows.h>

#include <cstdio>
#include <io.h>
#include <string>

#include "console_output.h"
#include "win_handles.h"

namespace {

const char* StreamKind(std::FILE* stream) {
    const int descriptor = _fileno(stream);
    if (descriptor < 0)
        return "none";
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
        return "none";
    // The standard handles the test gives are a disk file; the console is a character device.
    return GetFileType(handle) == FILE_TYPE_CHAR ? "console" : "other";
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    const bool opened = zor::OpenConsoleOutput();
    const bool openedAgain = zor::OpenConsoleOutput();

    CONSOLE_SCREEN_BUFFER_INFO info = {};
    zor::FileHandle console(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
    const int lines =
        console && GetConsoleScreenBufferInfo(console.get(), &info) ? info.dwSize.Y : -1;
    const bool printed = std::fputs("console line\n", stdout) >= 0;

    std::string report = std::string("opened=") + (opened ? "1" : "0") +
                         " again=" + (openedAgain ? "1" : "0") + " lines=" + std::to_string(lines) +
                         " stdout=" + StreamKind(stdout) + " stdin=" + StreamKind(stdin) +
                         " stderr=" + StreamKind(stderr) + " printed=" + (printed ? "1" : "0");
    zor::FileHandle file(CreateFileW(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return 2;
    DWORD written = 0;
    if (!WriteFile(file.get(), report.data(), static_cast<DWORD>(report.size()), &written,
                   nullptr) ||
        written != report.size()) {
        return 3;
    }
    return 0;
}
