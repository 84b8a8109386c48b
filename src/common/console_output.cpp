#include "console_output.h"

#include <windows.h>

#include <cstdio>

#include "win_handles.h"

namespace zor {
namespace {

constexpr SHORT kScreenLines = 500;

bool BindStream(const char* device, const char* mode, std::FILE* stream) {
    // freopen keeps the stream objects the rest of the program already holds and points them
    // at the console device.
    if (!std::freopen(device, mode, stream))
        return false;
    return std::setvbuf(stream, nullptr, _IONBF, 0) == 0;
}

} // namespace

bool OpenConsoleOutput() {
    if (!AllocConsole())
        return false;

    // The console's own buffer, not whatever the standard output handle was inherited as.
    FileHandle output(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (output && GetConsoleScreenBufferInfo(output.get(), &info)) {
        COORD size = info.dwSize;
        size.Y = kScreenLines;
        // A buffer that cannot be resized still works; the console is usable without it.
        SetConsoleScreenBufferSize(output.get(), size);
    }

    bool bound = BindStream("CONOUT$", "w", stdout);
    bound = BindStream("CONIN$", "r", stdin) && bound;
    bound = BindStream("CONOUT$", "w", stderr) && bound;
    return bound;
}

} // namespace zor
