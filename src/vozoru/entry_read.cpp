// Reading one entry's data: stored bytes are copied, deflated bytes inflated, and both are
// checked against the entry's CRC-32 once the whole entry has been produced.
#include "archive_io.h"
#include "zip_file_entry.h"
#include "zip_result.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vozoru {
namespace {

// Raw deflate stream: no zlib header or trailer around the data.
constexpr int kRawDeflateWindowBits = -MAX_WBITS;

bool IsReadableMethod(uint32_t method) {
    return method == ZIP_FileEntry::kMethodStored || method == ZIP_FileEntry::kMethodDeflated;
}

int Finish(uint32_t* produced, uint32_t count, int result) {
    if (produced)
        *produced = count;
    return result;
}

// Loads the next input chunk when the previous one is used up.
int RefillInput(EntryReadState* state) {
    if (state->stream.avail_in != 0 || state->remainingCompressed == 0)
        return ZIP_OK;
    const uint32_t chunk = std::min(state->inputCapacity, state->remainingCompressed);
    // Every failure here is a failed data read: the headers promised these bytes.
    if (ReadArchiveAt(state->file, state->readPosition, state->input.get(), chunk) != ZIP_OK) {
        return ZIP_ERROR_READ;
    }
    state->readPosition += chunk;
    state->remainingCompressed -= chunk;
    state->stream.next_in = state->input.get();
    state->stream.avail_in = chunk;
    return ZIP_OK;
}

} // namespace

void EntryReadState::Release() {
    if (inflating)
        inflateEnd(&stream);
    inflating = false;
    input.reset();
    inputCapacity = 0;
}

int ZIP_FileEntry::OpenEntryRead(EntryReadState* state) {
    if (!state)
        return ZIP_BAD_ARGUMENT;
    state->Release();
    state->crc = 0;
    state->remainingCompressed = compressedSize_;
    state->remainingUncompressed = uncompressedSize_;
    state->readPosition = dataOffset_;
    state->endedEarly = false;
    state->file = file_;
    if (!SeekArchive(file_, dataOffset_))
        return ZIP_ERROR_SEEK;

    state->stream = z_stream{};
    if (method_ == kMethodDeflated) {
        if (inflateInit2(&state->stream, kRawDeflateWindowBits) != Z_OK)
            return ZIP_ERROR_READ;
        state->inflating = true;
    }
    // The whole compressed size when it is smaller than a full chunk (at least one byte, so
    // that an empty entry still has a buffer to mark it open for reading).
    const uint32_t capacity =
        std::max<uint32_t>(1, std::min(EntryReadState::kInputSize, compressedSize_));
    state->input.reset(new (std::nothrow) unsigned char[capacity]);
    state->inputCapacity = state->input ? capacity : 0;
    if (!state->input) {
        state->Release();
        return ZIP_ERROR_MEMORY;
    }
    return ZIP_OK;
}

int ZIP_FileEntry::ReadEntryData(EntryReadState* state, void* buffer, uint32_t length,
                                 uint32_t* produced) {
    if (!IsReadableMethod(method_))
        return ZIP_BAD_ARCHIVE;
    if (!state || !buffer || length == 0 || !state->input)
        return ZIP_BAD_ARGUMENT;

    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t room = std::min(length, state->remainingUncompressed);
    uint32_t count = 0;
    while (room > 0) {
        const int refill = RefillInput(state);
        if (refill != ZIP_OK)
            return Finish(produced, count, refill);

        uint32_t step = 0;
        int zresult = Z_OK;
        if (method_ == kMethodDeflated) {
            state->stream.next_out = out;
            state->stream.avail_out = room;
            zresult = inflate(&state->stream, Z_SYNC_FLUSH);
            step = room - state->stream.avail_out;
        } else {
            if (state->stream.avail_in == 0) {
                // Fewer stored bytes than the declared size: nothing more will come.
                state->endedEarly = true;
                break;
            }
            step = std::min(room, static_cast<uint32_t>(state->stream.avail_in));
            std::memcpy(out, state->stream.next_in, step);
            state->stream.next_in += step;
            state->stream.avail_in -= step;
        }
        state->crc = static_cast<uint32_t>(crc32(state->crc, out, step));
        state->remainingUncompressed -= step;
        out += step;
        room -= step;
        count += step;

        if (zresult == Z_STREAM_END) {
            if (state->remainingUncompressed != 0)
                state->endedEarly = true;
            return Finish(produced, count, count != 0 ? ZIP_OK : ZIP_NO_DATA);
        }
        if (zresult == Z_MEM_ERROR)
            return Finish(produced, count, ZIP_ERROR_MEMORY);
        if (zresult != Z_OK) {
            // zlib rejected the stream (bad data, or input exhausted before the stream
            // ended). Returning what came so far as success would hand the caller a
            // silently shortened file. The file itself was read fine, so this is a damaged
            // archive rather than a failed read.
            return Finish(produced, count, ZIP_BAD_ARCHIVE);
        }
    }
    return Finish(produced, count, ZIP_OK);
}

int ZIP_FileEntry::CloseEntryRead(EntryReadState* state) {
    if (!state)
        return ZIP_BAD_ARGUMENT;
    state->Release();
    // An entry whose data ended before its declared size is damaged even though nothing is
    // left to read; an entry the caller stopped reading early is not checked at all.
    if (state->endedEarly)
        return ZIP_BAD_ARCHIVE;
    if (state->remainingUncompressed == 0 && state->crc != crc32_)
        return ZIP_ERROR_CRC;
    return ZIP_OK;
}

} // namespace vozoru
