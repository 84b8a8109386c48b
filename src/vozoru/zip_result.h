// Result codes of every archive operation. The values are fixed: callers compare against them
// and the launcher reports them.
#pragma once

namespace vozoru {

enum ZipResult : int {
    ZIP_OK = 0,
    // No end record in the last 65,535 bytes, a data read failed, zlib could not start,
    // or a folder for the output could not be created.
    ZIP_ERROR_READ = -1,
    // The compressed stream ended without producing a byte in this call.
    ZIP_NO_DATA = -2,
    // Positioning in the archive file failed.
    ZIP_ERROR_SEEK = -3,
    // The output file could not be created, opened or written, or its path is too long.
    ZIP_ERROR_CREATE = -4,
    ZIP_ERROR_MEMORY = -5,
    // The CRC-32 of a completely read entry differs from the recorded one.
    ZIP_ERROR_CRC = -6,
    // Bad or unsupported archive: signatures, spanning, header disagreement, methods other than
    // stored and deflated, damaged entry data, or entry names that would leave the destination.
    ZIP_BAD_ARCHIVE = -7,
    ZIP_BAD_ARGUMENT = -8,
    // The archive file could not be opened.
    ZIP_ERROR_OPEN = -9,
};

} // namespace vozoru
