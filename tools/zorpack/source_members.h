// The members a package will hold, read from the folder it is built from.
#pragma once
#include "package_members.h"
#include "source_tree.h"

namespace zorpack {

class SourceMembers : public PackageMembers {
public:
    explicit SourceMembers(const std::vector<SourceEntry>& entries);

    const std::vector<std::string>& names() const override { return names_; }
    std::uint64_t size(std::size_t index) const override;
    // Reads a file; folders read as empty, files above kMaxReadableMemberBytes are refused.
    bool read(std::size_t index, std::vector<unsigned char>& bytes,
              std::string& error) const override;

private:
    const std::vector<SourceEntry>& entries_;
    std::vector<std::string> names_;
};

} // namespace zorpack
