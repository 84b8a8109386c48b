// The members of a built package, read from its archive with the launcher's acceptance rules.
#pragma once
#include "package_members.h"
#include "zip_reader.h"

#include <filesystem>
#include <fstream>

namespace zorpack {

class ArchiveMembers : public PackageMembers {
public:
    // Opens the package and reads its archive directory; false with a message when the
    // launcher could not open it.
    bool open(const std::filesystem::path& package, std::string& error);

    const std::vector<std::string>& names() const override { return names_; }
    std::uint64_t size(std::size_t index) const override;
    // Reads a stored or deflated member and checks its length and CRC-32; members larger than
    // kMaxReadableMemberBytes are refused.
    bool read(std::size_t index, std::vector<unsigned char>& bytes,
              std::string& error) const override;

private:
    mutable std::ifstream file_;
    ArchiveDirectory directory_;
    std::vector<std::string> names_;
};

} // namespace zorpack
