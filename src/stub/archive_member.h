// Reads one archive member into memory, with a bound on what a declared size may ask for.
#pragma once
#include <cstdint>
#include <vector>

namespace vozoru {
class ZIP_File;
}

namespace zor {

enum class MemberRead { Read, Missing, Failed };

// Package documents, configuration and license files are small; a member that declares more
// than this is refused instead of being given the memory.
constexpr uint32_t kMaxMemberBytes = 64u * 1024 * 1024;

// Finds `name` (ignoring case) and extracts it whole into `bytes`.
MemberRead ReadArchiveMember(vozoru::ZIP_File& archive, const wchar_t* name,
                             std::vector<unsigned char>& bytes);

} // namespace zor
