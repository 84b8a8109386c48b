// Lists a package's members as the launcher reads them.
#pragma once
#include "zip_reader.h"

#include <filesystem>
#include <ostream>

namespace zorpack {

// Writes the listing of `directory` to `out`: a header line, then one line per member with its
// sizes, method, DOS date and time and name.
void printListing(const ArchiveDirectory& directory, std::ostream& out);

// Returns the exit code: 0 after listing, 1 when the file holds no archive the launcher could
// read (the reason goes to `err`).
int runList(const std::filesystem::path& package, std::ostream& out, std::ostream& err);

} // namespace zorpack
