// Gives a process without a console one, for the "/consoleout" switch.
#pragma once

namespace zor {

// Creates a console for the process with a screen buffer of 500 lines (keeping its width) and
// binds the runtime's standard output, input and error streams to it, unbuffered. Returns
// false when no console could be created (for example because the process already has one)
// or a stream could not be bound.
bool OpenConsoleOutput();

} // namespace zor
