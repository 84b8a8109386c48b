// The few facts the package builder needs from the operating system: a file's modification time
// in local time, its Windows attribute bits, and the program's arguments as UTF-8.
#pragma once
#include "dos_time.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zorpack {

struct FileFacts {
    CalendarTime localModified;
    // Windows attribute bits as the launcher will set them: read-only and hidden where the
    // source has them, directory for folders, archive for files.
    std::uint32_t attributes = 0;
};

bool readFileFacts(const std::filesystem::path& path, bool isDirectory, FileFacts& facts,
                   std::string& error);

// The arguments after the program name, as UTF-8 (on Windows from the wide command line, so
// that names outside the ANSI code page survive).
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace zorpack
