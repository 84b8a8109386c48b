// Positioned reads from the archive file. Every read states its own offset, so readers of
// headers and of entry data can share the one archive handle.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace vozoru {

bool GetArchiveFileSize(HANDLE file, uint64_t* size);

// Moves the file pointer to offset and confirms that it landed there.
bool SeekArchive(HANDLE file, uint64_t offset);

// Reads exactly length bytes; a short read counts as failure. Returns ZIP_OK, ZIP_ERROR_SEEK
// or ZIP_ERROR_READ.
int ReadArchiveAt(HANDLE file, uint64_t offset, void* buffer, DWORD length);

// Sequential reader over one region of the file (the central directory), filled in large
// blocks so that thousands of records cost a handful of system calls.
class RegionReader {
public:
    RegionReader(HANDLE file, uint64_t begin, uint64_t end);

    // Copies the next length bytes to out (or skips them when out is null). Returns ZIP_OK,
    // ZIP_BAD_ARCHIVE when they run past the region, or the failing read's code.
    int Read(void* out, uint32_t length);
    uint64_t Position() const { return position_; }
    uint64_t Remaining() const { return end_ - position_; }

private:
    static constexpr DWORD kBlockSize = 64 * 1024;

    HANDLE file_;
    uint64_t position_;
    uint64_t end_;
    std::vector<unsigned char> block_;
    uint64_t blockStart_ = 0;
    DWORD blockLength_ = 0;
};

} // namespace vozoru
