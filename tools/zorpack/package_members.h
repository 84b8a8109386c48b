// The members of a package as the checks see them: names in archive order and their contents.
// A built package supplies them from its archive, a folder being packed from its files, so the
// same checks run before and after the archive is written.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

// The launcher refuses to hold a package document, configuration or license file larger than
// this in memory; a larger one makes the package unusable or the file unavailable.
constexpr std::uint64_t kMaxReadableMemberBytes = 64ull * 1024 * 1024;

class PackageMembers {
public:
    virtual ~PackageMembers() = default;

    // Member names in code page 1252, "/" between components, folders ending with "/".
    virtual const std::vector<std::string>& names() const = 0;
    virtual std::uint64_t size(std::size_t index) const = 0;
    // Reads one whole member; false with a message when it cannot be read.
    virtual bool read(std::size_t index, std::vector<unsigned char>& bytes,
                      std::string& error) const = 0;

    // The first member named `cp1252Name` ignoring case, in archive order, as the launcher
    // looks members up; -1 when there is none.
    std::ptrdiff_t find(const std::string& cp1252Name) const;
};

} // namespace zorpack
