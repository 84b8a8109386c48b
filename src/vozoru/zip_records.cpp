#include "zip_records.h"

namespace vozoru {

EndRecord DecodeEndRecord(const unsigned char* p) {
    EndRecord r;
    r.signature = LoadLe32(p);
    r.diskNumber = LoadLe16(p + 4);
    r.centralDirectoryDisk = LoadLe16(p + 6);
    r.entriesOnDisk = LoadLe16(p + 8);
    r.totalEntries = LoadLe16(p + 10);
    r.centralDirectorySize = LoadLe32(p + 12);
    r.centralDirectoryOffset = LoadLe32(p + 16);
    r.commentLength = LoadLe16(p + 20);
    return r;
}

CentralRecord DecodeCentralRecord(const unsigned char* p) {
    CentralRecord r;
    r.signature = LoadLe32(p);
    r.versionMadeBy = LoadLe16(p + 4);
    r.versionNeeded = LoadLe16(p + 6);
    r.flags = LoadLe16(p + 8);
    r.method = LoadLe16(p + 10);
    r.dosTime = LoadLe16(p + 12);
    r.dosDate = LoadLe16(p + 14);
    r.crc32 = LoadLe32(p + 16);
    r.compressedSize = LoadLe32(p + 20);
    r.uncompressedSize = LoadLe32(p + 24);
    r.nameLength = LoadLe16(p + 28);
    r.extraLength = LoadLe16(p + 30);
    r.commentLength = LoadLe16(p + 32);
    r.diskNumberStart = LoadLe16(p + 34);
    r.internalAttributes = LoadLe16(p + 36);
    r.externalAttributes = LoadLe32(p + 38);
    r.localHeaderOffset = LoadLe32(p + 42);
    return r;
}

LocalHeader DecodeLocalHeader(const unsigned char* p) {
    LocalHeader r;
    r.signature = LoadLe32(p);
    r.versionNeeded = LoadLe16(p + 4);
    r.flags = LoadLe16(p + 6);
    r.method = LoadLe16(p + 8);
    r.dosTime = LoadLe16(p + 10);
    r.dosDate = LoadLe16(p + 12);
    r.crc32 = LoadLe32(p + 14);
    r.compressedSize = LoadLe32(p + 18);
    r.uncompressedSize = LoadLe32(p + 22);
    r.nameLength = LoadLe16(p + 26);
    r.extraLength = LoadLe16(p + 28);
    return r;
}

bool FindLastEndSignature(const unsigned char* tail, size_t length, size_t* position) {
    if (length < 4)
        return false;
    for (size_t start = length - 4 + 1; start-- > 0;) {
        if (LoadLe32(tail + start) == kEndRecordSignature) {
            *position = start;
            return true;
        }
    }
    return false;
}

} // namespace vozoru
