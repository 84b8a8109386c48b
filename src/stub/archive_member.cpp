#include "archive_member.h"

#include "zip_file.h"

namespace zor {

MemberRead ReadArchiveMember(vozoru::ZIP_File& archive, const wchar_t* name,
                             std::vector<unsigned char>& bytes) {
    bytes.clear();
    vozoru::ZIP_FileEntry* entry = name ? archive.FindEntry(name) : nullptr;
    if (!entry) return MemberRead::Missing;
    const uint32_t size = entry->GetUncompressedSize();
    if (size > kMaxMemberBytes) return MemberRead::Failed;
    if (size == 0) return MemberRead::Read;
    bytes.resize(size);
    if (entry->ExtractToMemory(bytes.data(), size) != 0) {
        bytes.clear();
        return MemberRead::Failed;
    }
    return MemberRead::Read;
}

} // namespace zor
