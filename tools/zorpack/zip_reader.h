// Reads an archive's directory with the launcher's acceptance rules: the end record must lie in
// the last 65,535 bytes of the file, the archive must sit on one disk, every local header must
// agree with its central directory record, and members must be stored or deflated.
#pragma once
#include "zip_format.h"

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace zorpack {

struct ArchiveDirectory {
    std::vector<EntryHeader> entries; // in central directory order
    std::uint64_t fileSize = 0;
    std::uint64_t endRecordOffset = 0;
    std::uint64_t centralDirectoryOffset = 0;
    // Where the first member starts; anything before it (the launcher's program image) is
    // leading data.
    std::uint64_t firstLocalHeaderOffset = 0;
};

// Returns false with a message when the launcher could not open the archive in `file`.
bool readArchiveDirectory(std::istream& file, ArchiveDirectory& directory, std::string& error);

} // namespace zorpack
