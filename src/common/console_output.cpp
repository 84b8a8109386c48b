#include "console_output.h"

#include <windows.h>

#include <cstdio>

namespace zor {
namespace {

constexpr SHORT kScreenLines = 500;

bool BindStream(const char* device, const char* mode, std::FILE* stream) {
    // freopen is the portable way to point a standard stream at the console: it works whether
    // or not the stream had a descriptor before (a windowed program's streams have none).
    if (!std::freopen(device, mode, stream)) return false;
    return std::setvbuf(stream, nullptr, _IONBF, 0) == 0;
}

} // namespace

bool OpenConsoleOutput() {
    if (!AllocConsole()) return false;

    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (output != INVALID_HANDLE_VALUE && output != nullptr &&
        GetConsoleScreenBufferInfo(output, &info)) {
        COORD size = info.dwSize;
        size.Y = kScreenLines;
        // A buffer that cannot be resized still works; the console is usable without it.
        SetConsoleScreenBufferSize(output, size);
    }

    bool bound = BindStream("CONOUT$", "w", stdout);
    bound = BindStream("CONIN$", "r", stdin) && bound;
    bound = BindStream("CONOUT$", "w", stderr) && bound;
    return bound;
}

} // namespace zor
