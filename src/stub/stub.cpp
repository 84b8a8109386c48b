// Entry point of the launcher program.
#include <windows.h>

#include "launcher_main.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    return zor::RunLauncher(instance, commandLine);
}
