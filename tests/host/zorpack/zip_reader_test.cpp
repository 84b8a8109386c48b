// The lister's archive reader applies the launcher's acceptance rules to hostile files.
#include "test_support.h"
#include "zip_reader.h"
#include "zip_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace zorpack {
namespace {

const std::string kImage = "MZ program image with PK\x05\x06 inside it";

// A stub, a stored member "a.txt" and a deflated member "b.txt".
std::string goodPackage() {
    std::stringstream archive(std::ios::in | std::ios::out | std::ios::binary);
    archive << kImage;
    ZipWriter writer(archive);
    std::string error;
    std::istringstream a("stored data");
    std::istringstream b(std::string(2000, 'b'));
    EXPECT_TRUE(
        writer.addFile({"a.txt", {0x1234, 0x5678}, kAttributeArchive}, a, 11, false, error));
    EXPECT_TRUE(
        writer.addFile({"b.txt", {0x1234, 0x5678}, kAttributeArchive}, b, 2000, false, error));
    EXPECT_TRUE(writer.finish(error));
    return archive.str();
}

bool readBytes(const std::string& bytes, ArchiveDirectory& directory, std::string& error) {
    std::istringstream in(bytes);
    return readArchiveDirectory(in, directory, error);
}

void putU16At(std::string& bytes, std::size_t offset, std::uint16_t v) {
    bytes[offset] = static_cast<char>(v & 0xFF);
    bytes[offset + 1] = static_cast<char>(v >> 8);
}

void putU32At(std::string& bytes, std::size_t offset, std::uint32_t v) {
    putU16At(bytes, offset, static_cast<std::uint16_t>(v & 0xFFFF));
    putU16At(bytes, offset + 2, static_cast<std::uint16_t>(v >> 16));
}

TEST(ZipReader, FindsTheArchiveAfterTheImageAndBeforeTrailingData) {
    std::string bytes = goodPackage();
    ArchiveDirectory directory;
    std::string error;
    ASSERT_TRUE(readBytes(bytes, directory, error)) << error;
    EXPECT_EQ(directory.firstLocalHeaderOffset, kImage.size());
    ASSERT_EQ(directory.entries.size(), 2u);
    EXPECT_EQ(directory.entries[1].method, kMethodDeflated);

    // A signature block appended after the archive: the end record may lie up to 65,535 bytes
    // before the end of the file, and no further.
    const std::size_t limitPadding = 65535 - kEndRecordSize;
    ASSERT_TRUE(readBytes(bytes + std::string(limitPadding, '\0'), directory, error)) << error;
    EXPECT_FALSE(readBytes(bytes + std::string(limitPadding + 1, '\0'), directory, error));
    EXPECT_NE(error.find("65535"), std::string::npos) << error;
}

TEST(ZipReader, RefusesWhatTheLauncherRefuses) {
    const std::string good = goodPackage();
    ArchiveDirectory parsed;
    std::string error;
    ASSERT_TRUE(readBytes(good, parsed, error));

    // Each case patches fields relative to a record of the good package: the end record, the
    // first central directory record, or the local header of the stored or the deflated member.
    enum Record { End, Central, SecondCentral, LocalStored, LocalDeflated };
    const std::size_t recordOffsets[] = {
        static_cast<std::size_t>(parsed.endRecordOffset),
        static_cast<std::size_t>(parsed.centralDirectoryOffset),
        static_cast<std::size_t>(parsed.centralDirectoryOffset) + kCentralHeaderSize + 5,
        parsed.entries[0].localHeaderOffset, parsed.entries[1].localHeaderOffset};
    struct Patch {
        Record record;
        std::size_t field;
        int width; // 1, 2 or 4 bytes
        std::uint32_t value;
    };
    struct Case {
        const char* what;
        std::vector<Patch> patches;
    } const cases[] = {
        {"this disk not 0", {{End, 4, 2, 1}}},
        {"directory disk not 0", {{End, 6, 2, 1}}},
        {"entry counts differ", {{End, 8, 2, 1}}},
        {"directory beyond file", {{End, 16, 4, 0x7FFFFFF0}}},
        {"more entries than records", {{End, 8, 2, 3}, {End, 10, 2, 3}}},
        {"central signature", {{Central, 0, 1, 'X'}}},
        {"local signature", {{LocalStored, 0, 1, 'X'}}},
        {"local offset beyond file", {{Central, 42, 4, 0xFFFFFF00}}},
        {"local version needed", {{LocalStored, 4, 2, 45}}},
        {"data descriptor flag", {{LocalStored, 6, 2, 8}}},
        {"local method", {{LocalDeflated, 8, 2, 0}}},
        {"local time", {{LocalStored, 10, 2, 0}}},
        {"local date", {{LocalStored, 12, 2, 0}}},
        {"local CRC", {{LocalStored, 14, 4, 0}}},
        {"sizes deferred to a descriptor", {{LocalDeflated, 18, 4, 0}, {LocalDeflated, 22, 4, 0}}},
        {"local name", {{LocalStored, 30, 1, 'A'}}},
        {"method 12 in both headers", {{LocalDeflated, 8, 2, 12}, {SecondCentral, 10, 2, 12}}},
        {"data beyond file", {{LocalStored, 18, 4, 0xFFFFFF}, {Central, 20, 4, 0xFFFFFF}}},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        for (const Patch& p : c.patches) {
            const std::size_t at = recordOffsets[p.record] + p.field;
            if (p.width == 1)
                bytes[at] = static_cast<char>(p.value);
            else if (p.width == 2)
                putU16At(bytes, at, static_cast<std::uint16_t>(p.value));
            else
                putU32At(bytes, at, p.value);
        }
        ArchiveDirectory directory;
        error.clear();
        EXPECT_FALSE(readBytes(bytes, directory, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }

    const std::string noArchive[] = {"", "MZ just a program",
                                     good.substr(0, recordOffsets[End] + 10)};
    for (const std::string& bytes : noArchive) {
        ArchiveDirectory directory;
        EXPECT_FALSE(readBytes(bytes, directory, error)) << bytes.size();
    }
}

// Thousands of randomly damaged packages from a fixed seed: the reader answers every one
// without crashing or reading out of bounds (the sanitizer-free check is that it returns).
TEST(ZipReader, SurvivesDeterministicMutations) {
    const std::string good = goodPackage();
    std::mt19937 random(20240611);
    std::size_t accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            // Favour the headers, where damage matters, over the member data.
            const std::size_t span = (random() % 2) ? bytes.size() : 120;
            const std::size_t at = bytes.size() - 1 - random() % std::min(span, bytes.size());
            bytes[at] = static_cast<char>(random() & 0xFF);
        }
        if (random() % 8 == 0)
            bytes.resize(random() % bytes.size());
        ArchiveDirectory directory;
        std::string error;
        if (readBytes(bytes, directory, error)) {
            ++accepted;
            for (const EntryHeader& e : directory.entries)
                EXPECT_LE(std::uint64_t{e.localHeaderOffset} + kLocalHeaderSize + e.name.size() +
                              e.compressedSize,
                          bytes.size());
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    EXPECT_GT(accepted, 0u); // damage to member data alone leaves the directory readable
}

} // namespace
} // namespace zorpack
