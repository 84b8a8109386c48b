// Facts about the running executable for the log's session header. In the plug-in these
// describe the host process that loaded it.
#pragma once

#include <cstddef>

// The executable's file name with extension, without folders. Returns 1 when output received
// it; 0 leaves output empty.
int GetModuleFileNameOnly(wchar_t* output, std::size_t outputSize);

// The executable's file version as "a.b.c.d". Returns 0 without writing when outputSize is
// below 10, and 0 with output unchanged when there is no version resource; 1 when written.
int GetModuleVersionText(wchar_t* output, std::size_t outputSize);
