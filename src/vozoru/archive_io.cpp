#include "archive_io.h"

#include "zip_result.h"

#include <algorithm>
#include <cstring>

namespace vozoru {

bool GetArchiveFileSize(HANDLE file, uint64_t* size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(file, &value) || value.QuadPart < 0)
        return false;
    *size = static_cast<uint64_t>(value.QuadPart);
    return true;
}

bool SeekArchive(HANDLE file, uint64_t offset) {
    if (offset > static_cast<uint64_t>(INT64_MAX))
        return false;
    LARGE_INTEGER target;
    target.QuadPart = static_cast<LONGLONG>(offset);
    LARGE_INTEGER landed;
    if (!SetFilePointerEx(file, target, &landed, FILE_BEGIN))
        return false;
    return landed.QuadPart == target.QuadPart;
}

int ReadArchiveAt(HANDLE file, uint64_t offset, void* buffer, DWORD length) {
    if (!SeekArchive(file, offset))
        return ZIP_ERROR_SEEK;
    auto* out = static_cast<unsigned char*>(buffer);
    DWORD done = 0;
    while (done < length) {
        DWORD got = 0;
        if (!ReadFile(file, out + done, length - done, &got, nullptr) || got == 0) {
            return ZIP_ERROR_READ;
        }
        done += got;
    }
    return ZIP_OK;
}

RegionReader::RegionReader(HANDLE file, uint64_t begin, uint64_t end)
    : file_(file), position_(begin), end_(end < begin ? begin : end) {}

int RegionReader::Read(void* out, uint32_t length) {
    if (length > Remaining())
        return ZIP_BAD_ARCHIVE;
    auto* dest = static_cast<unsigned char*>(out);
    while (length > 0) {
        const bool inBlock = position_ >= blockStart_ && position_ - blockStart_ < blockLength_;
        if (!inBlock) {
            if (block_.empty())
                block_.resize(kBlockSize);
            const DWORD fill = static_cast<DWORD>(std::min<uint64_t>(kBlockSize, Remaining()));
            blockLength_ = 0;
            const int result = ReadArchiveAt(file_, position_, block_.data(), fill);
            if (result != ZIP_OK)
                return result;
            blockStart_ = position_;
            blockLength_ = fill;
        }
        const uint64_t offsetInBlock = position_ - blockStart_;
        const uint32_t take =
            static_cast<uint32_t>(std::min<uint64_t>(length, blockLength_ - offsetInBlock));
        if (dest) {
            std::memcpy(dest, block_.data() + offsetInBlock, take);
            dest += take;
        }
        position_ += take;
        length -= take;
    }
    return ZIP_OK;
}

} // namespace vozoru
