// The package builder's entry, apart from the process itself so that tests can run it.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace zorpack {

// Runs one command line (UTF-8 arguments without the program name) and returns the exit code:
// 0 success, 1 refused or failed, 2 wrong usage.
int runZorpack(const std::vector<std::string>& args, const char* sourceDateEpoch, std::ostream& out,
               std::ostream& err);

} // namespace zorpack
