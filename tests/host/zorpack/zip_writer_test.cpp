// The archive writer in memory: method choice, headers the launcher accepts, and the limits.
#include "test_support.h"
#include "zip_reader.h"
#include "zip_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>

namespace zorpack {
namespace {

using zorpack_test::randomBytes;

std::string inflateRaw(const std::string& compressed, std::size_t expectedSize) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return "inflateInit2 failed";
    std::string out(expectedSize + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return rc == Z_STREAM_END ? out : "inflate failed";
}

std::uint32_t crcOf(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

struct WrittenMember {
    const char* name;
    std::string data;
    bool storeOnly;
    std::uint16_t expectedMethod;
};

// Writes the members after a small leading image, reads the archive back with the launcher's
// rules and checks every member's headers and data.
void checkRoundTrip(const std::vector<WrittenMember>& members) {
    const std::string image = "MZ leading program image";
    std::stringstream archive(std::ios::in | std::ios::out | std::ios::binary);
    archive << image;
    ZipWriter writer(archive);
    std::string error;
    for (const WrittenMember& m : members) {
        std::istringstream data(m.data);
        ASSERT_TRUE(writer.addFile({m.name, {0x6000, 0x5000}, kAttributeArchive}, data,
                                   m.data.size(), m.storeOnly, error))
            << m.name << ": " << error;
    }
    ASSERT_TRUE(writer.finish(error)) << error;

    const std::string bytes = archive.str();
    std::istringstream in(bytes);
    ArchiveDirectory directory;
    ASSERT_TRUE(readArchiveDirectory(in, directory, error)) << error;
    // Nothing stale follows the end record, even after a member fell back to stored.
    EXPECT_EQ(directory.endRecordOffset + kEndRecordSize, bytes.size());
    EXPECT_EQ(directory.firstLocalHeaderOffset, image.size());
    ASSERT_EQ(directory.entries.size(), members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        const EntryHeader& e = directory.entries[i];
        const WrittenMember& m = members[i];
        EXPECT_EQ(e.name, m.name);
        EXPECT_EQ(e.method, m.expectedMethod) << m.name;
        EXPECT_EQ(e.versionNeeded, m.expectedMethod == kMethodDeflated ? 20 : 10) << m.name;
        EXPECT_EQ(e.versionMadeBy, 20);
        EXPECT_EQ(e.flags, 0);
        EXPECT_EQ(e.dosTime, 0x6000);
        EXPECT_EQ(e.dosDate, 0x5000);
        EXPECT_EQ(e.externalAttributes, kAttributeArchive);
        EXPECT_EQ(e.uncompressedSize, m.data.size());
        EXPECT_EQ(e.crc32, crcOf(m.data)) << m.name;
        const std::string stored =
            bytes.substr(e.localHeaderOffset + kLocalHeaderSize + e.name.size(), e.compressedSize);
        if (e.method == kMethodDeflated) {
            EXPECT_LT(e.compressedSize, e.uncompressedSize);
            EXPECT_EQ(inflateRaw(stored, m.data.size()), m.data) << m.name;
        } else {
            EXPECT_EQ(stored, m.data) << m.name;
        }
    }
}

TEST(ZipWriter, DeflatesOnlyWhatShrinksAndStoresTheRest) {
    std::string text;
    while (text.size() < 300000)
        text += "line of compressible text " + std::to_string(text.size());
    checkRoundTrip({
        {"text.txt", text, false, kMethodDeflated},                   // several input chunks
        {"random.bin", randomBytes(200000, 1), false, kMethodStored}, // deflate grows it
        {"small-random", randomBytes(40, 2), false, kMethodStored},
        {"empty.txt", "", false, kMethodStored},
        {"one", "x", false, kMethodStored},
        {"stored-text.txt", text, true, kMethodStored}, // --store
        {"after-fallback.txt", std::string(5000, 'a'), false, kMethodDeflated},
    });
}

TEST(ZipWriter, LastMemberFallingBackToStoredLeavesNoStaleBytes) {
    checkRoundTrip({{"a.txt", std::string(1000, 'a'), false, kMethodDeflated},
                    {"z.bin", randomBytes(150000, 3), false, kMethodStored}});
}

TEST(ZipWriter, FoldersAreEmptyStoredMembersWithTheDirectoryBit) {
    std::stringstream archive(std::ios::in | std::ios::out | std::ios::binary);
    ZipWriter writer(archive);
    std::string error;
    ASSERT_TRUE(writer.addFolder({"sub/", {}, kAttributeDirectory | kAttributeHidden}, error));
    ASSERT_TRUE(writer.finish(error));
    std::istringstream in(archive.str());
    ArchiveDirectory directory;
    ASSERT_TRUE(readArchiveDirectory(in, directory, error)) << error;
    ASSERT_EQ(directory.entries.size(), 1u);
    const EntryHeader& e = directory.entries[0];
    EXPECT_EQ(e.name, "sub/");
    EXPECT_EQ(e.method, kMethodStored);
    EXPECT_EQ(e.versionNeeded, 20);
    EXPECT_EQ(e.compressedSize + e.uncompressedSize + e.crc32, 0u);
    EXPECT_EQ(e.externalAttributes, 0x12u);
}

TEST(ZipWriter, HoldsAtMost65535Members) {
    std::stringstream archive(std::ios::in | std::ios::out | std::ios::binary);
    ZipWriter writer(archive);
    std::string error;
    for (std::size_t i = 0; i < 65535; ++i)
        ASSERT_TRUE(writer.addFolder({std::to_string(i) + "/", {}, kAttributeDirectory}, error))
            << i;
    EXPECT_FALSE(writer.addFolder({"one-too-many/", {}, kAttributeDirectory}, error));
    EXPECT_NE(error.find("65535"), std::string::npos) << error;
    ASSERT_TRUE(writer.finish(error)) << error;

    std::istringstream in(archive.str());
    ArchiveDirectory directory;
    ASSERT_TRUE(readArchiveDirectory(in, directory, error)) << error;
    EXPECT_EQ(directory.entries.size(), 65535u);
}

TEST(ZipWriter, RefusesMembersAndOffsetsBeyond32Bits) {
    std::string error;
    EXPECT_TRUE(checkMemberSize(0xFFFFFFFFull, error));
    EXPECT_FALSE(checkMemberSize(0x100000000ull, error));
    EXPECT_TRUE(checkArchiveOffset(0xFFFFFFFFull, error));
    EXPECT_FALSE(checkArchiveOffset(0x100000000ull, error));

    // The declared size is checked before any data is read or written.
    std::stringstream archive(std::ios::in | std::ios::out | std::ios::binary);
    ZipWriter writer(archive);
    std::istringstream data("small");
    EXPECT_FALSE(
        writer.addFile({"huge.bin", {}, kAttributeArchive}, data, 0x100000000ull, false, error));
    EXPECT_TRUE(archive.str().empty());
}

TEST(ZipWriter, RefusesDataThatDoesNotMatchItsDeclaredSize) {
    for (const bool storeOnly : {false, true}) {
        std::string error;
        std::stringstream archive(std::ios::in | std::ios::out | std::ios::binary);
        ZipWriter writer(archive);
        std::istringstream shorter("12345");
        EXPECT_FALSE(writer.addFile({"a", {}, 0}, shorter, 10, storeOnly, error));
        std::istringstream longer(std::string(100, 'x'));
        EXPECT_FALSE(writer.addFile({"b", {}, 0}, longer, 50, storeOnly, error));
        EXPECT_NE(error.find("changed"), std::string::npos) << error;
    }
}

TEST(ZipWriter, RefusesEmptyNamesAndWritingAfterFinish) {
    std::stringstream archive(std::ios::in | std::ios::out | std::ios::binary);
    ZipWriter writer(archive);
    std::string error;
    EXPECT_FALSE(writer.addFolder({"", {}, 0}, error));
    ASSERT_TRUE(writer.finish(error));
    EXPECT_FALSE(writer.addFolder({"late/", {}, 0}, error));
    EXPECT_FALSE(writer.finish(error));
}

} // namespace
} // namespace zorpack
