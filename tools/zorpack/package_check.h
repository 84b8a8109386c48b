// The package check: reports what the launcher will find in a package and refuses a package
// the launcher could not use. It runs after every build and on its own with --check.
#pragma once
#include "package_members.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace zorpack {

struct CheckReport {
    std::vector<std::pair<std::string, std::string>> facts; // label, value (UTF-8)
    std::vector<std::string> warnings;
    std::vector<std::string> errors;
    bool usable() const { return errors.empty(); }
};

// Checks the members of a package whose file is named `packageFileName` (UTF-8).
CheckReport checkPackage(const PackageMembers& members, const std::string& packageFileName);

// Facts go to `out`, warnings and errors to `err`, then one verdict line.
void printReport(const CheckReport& report, const std::string& packageLabel, std::ostream& out,
                 std::ostream& err);

// Returns the exit code: 0 when the launcher can use the package (warnings allowed), 1 when not
// or when the file holds no readable archive.
int runCheck(const std::filesystem::path& package, std::ostream& out, std::ostream& err);

// True for a name that stays inside the extraction folder: relative, without a drive, a colon
// or a ".." component. Both separators count, as they do for Windows.
bool staysInsideFolder(const std::string& name);

} // namespace zorpack
