// Builds a package file: the launcher's bytes followed by the archive of a folder.
#pragma once
#include "command_line.h"

#include <ostream>

namespace zorpack {

// Returns the exit code: 0 when the package was written, 1 when it was refused or failed (the
// reason goes to `err`; no partial output file is left behind).
int runBuild(const BuildOptions& options, std::ostream& out, std::ostream& err);

} // namespace zorpack
