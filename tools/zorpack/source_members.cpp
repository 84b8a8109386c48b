#include "source_members.h"

#include <fstream>

namespace zorpack {

SourceMembers::SourceMembers(const std::vector<SourceEntry>& entries) : entries_(entries) {
    names_.reserve(entries.size());
    for (const SourceEntry& entry : entries)
        names_.push_back(entry.name);
}

std::uint64_t SourceMembers::size(std::size_t index) const {
    return index < entries_.size() ? entries_[index].size : 0;
}

bool SourceMembers::read(std::size_t index, std::vector<unsigned char>& bytes,
                         std::string& error) const {
    bytes.clear();
    if (index >= entries_.size()) {
        error = "no such member";
        return false;
    }
    const SourceEntry& entry = entries_[index];
    if (entry.isDirectory)
        return true;
    if (entry.size > kMaxReadableMemberBytes) {
        error = "larger than the launcher reads into memory (64 MiB)";
        return false;
    }
    std::ifstream in(entry.path, std::ios::binary);
    bytes.resize(static_cast<std::size_t>(entry.size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in || in.gcount() != static_cast<std::streamsize>(bytes.size()) ||
        in.peek() != std::char_traits<char>::eof()) {
        error = entry.path.u8string() + ": cannot be read, or changed while it was packed";
        bytes.clear();
        return false;
    }
    return true;
}

} // namespace zorpack
