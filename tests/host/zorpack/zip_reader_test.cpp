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
    EXPECT_TRUE(writer.addFile({"a.txt", {0x1234, 0x5678}, kAttributeArchive}, a, 11, false, error));
    EXPECT_TRUE(writer.addFile({"b.txt", {0x1234, 0x5678}, kAttributeArchive}, b, 2000, false, error));
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
    const std::size_t end = parsed.endRecordOffset;
    const std::size_t central = parsed.centralDirectoryOffset;
    const std::size_t localA = parsed.entries[0].localHeaderOffset;
    const std::size_t localB = parsed.entries[1].localHeaderOffset;

    struct Case {
        const char* what;
        void (*mutate)(std::string&, std::size_t end, std::size_t central, std::size_t localA,
                       std::size_t localB);
    } const cases[] = {
        {"no archive", [](std::string& b, size_t, size_t, size_t, size_t) { b = "MZ just a program"; }},
        {"empty file", [](std::string& b, size_t, size_t, size_t, size_t) { b.clear(); }},
        {"end record cut off", [](std::string& b, size_t e, size_t, size_t, size_t) { b.resize(e + 10); }},
        {"this disk not 0", [](std::string& b, size_t e, size_t, size_t, size_t) { putU16At(b, e + 4, 1); }},
        {"directory disk not 0", [](std::string& b, size_t e, size_t, size_t, size_t) { putU16At(b, e + 6, 1); }},
        {"entry counts differ", [](std::string& b, size_t e, size_t, size_t, size_t) { putU16At(b, e + 8, 1); }},
        {"directory beyond file", [](std::string& b, size_t e, size_t, size_t, size_t) { putU32At(b, e + 16, 0x7FFFFFF0); }},
        {"more entries than records", [](std::string& b, size_t e, size_t, size_t, size_t) { putU16At(b, e + 8, 3); putU16At(b, e + 10, 3); }},
        {"central signature", [](std::string& b, size_t, size_t c, size_t, size_t) { b[c] = 'X'; }},
        {"local signature", [](std::string& b, size_t, size_t, size_t a, size_t) { b[a] = 'X'; }},
        {"local offset beyond file", [](std::string& b, size_t, size_t c, size_t, size_t) { putU32At(b, c + 42, 0xFFFFFF00); }},
        {"local version needed", [](std::string& b, size_t, size_t, size_t a, size_t) { putU16At(b, a + 4, 45); }},
        {"data descriptor flag", [](std::string& b, size_t, size_t, size_t a, size_t) { putU16At(b, a + 6, 8); }},
        {"local method", [](std::string& b, size_t, size_t, size_t, size_t l) { putU16At(b, l + 8, 0); }},
        {"local time", [](std::string& b, size_t, size_t, size_t a, size_t) { putU16At(b, a + 10, 0); }},
        {"local date", [](std::string& b, size_t, size_t, size_t a, size_t) { putU16At(b, a + 12, 0); }},
        {"local CRC", [](std::string& b, size_t, size_t, size_t a, size_t) { putU32At(b, a + 14, 0); }},
        {"sizes deferred to a descriptor", [](std::string& b, size_t, size_t, size_t, size_t l) {
             putU32At(b, l + 18, 0); putU32At(b, l + 22, 0); }},
        {"local name", [](std::string& b, size_t, size_t, size_t a, size_t) { b[a + 30] = 'A'; }},
        {"method 12 in both headers", [](std::string& b, size_t, size_t c, size_t, size_t l) {
             putU16At(b, l + 8, 12); putU16At(b, c + 46 + 5 + 10, 12); }},
        {"data beyond file", [](std::string& b, size_t, size_t c, size_t a, size_t) {
             putU32At(b, a + 18, 0x00FFFFFF); putU32At(b, c + 20, 0x00FFFFFF); }},
    };
    (void)localB;
    for (const Case& c : cases) {
        std::string bytes = good;
        c.mutate(bytes, end, central, localA, localB);
        ArchiveDirectory directory;
        error.clear();
        EXPECT_FALSE(readBytes(bytes, directory, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
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
        if (random() % 8 == 0) bytes.resize(random() % bytes.size());
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
