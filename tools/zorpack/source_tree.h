// The folder a package is built from: every file and folder below it, named as archive members.
#pragma once
#include "platform.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zorpack {

struct SourceEntry {
    // Member name in code page 1252, relative to the root, "/" between components; folders end
    // with "/".
    std::string name;
    std::filesystem::path path;
    bool isDirectory = false;
    std::uint64_t size = 0; // files only
    FileFacts facts;
};

// Lists everything below `root`, sorted by name bytes (so every folder precedes its contents).
// Symbolic links to files are followed; links to folders, special files, names the launcher
// could not create, names that differ only in letter case, files of 4 GiB or more and more
// members than an archive can hold are refused with a message in `error`.
bool scanSourceTree(const std::filesystem::path& root, std::vector<SourceEntry>& entries,
                    std::string& error);

} // namespace zorpack
