// Reading entry data: stored and deflated members, chunked reads, CRC checks and damaged
// streams.
#include "archive_fixture.h"
#include "win_handles.h"
#include "zip_file.h"
#include "zip_result.h"

#include <gtest/gtest.h>
#include <zlib.h>

using namespace vozoru;
using namespace ziptest;

namespace {

// Opens a one-member archive written into folder.
void OpenSingle(const TempFolder& folder, const ZipImage& image, ZIP_File* zip) {
    ASSERT_EQ(zip->OpenArchive(WriteArchive(folder, image).c_str(), true), ZIP_OK);
    ASSERT_EQ(zip->GetEntryCount(), static_cast<uint32_t>(image.localHeaders.size()));
}

ZipMember Member(const std::string& name, const std::string& data, bool deflate) {
    ZipMember m;
    m.name = name;
    m.data = data;
    m.deflate = deflate;
    return m;
}

// A deflate stream that decodes `good` and then hits an invalid block type, with headers
// declaring good + 1000 bytes.
ZipImage StreamRejectedPartWay(const std::string& good) {
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(good.size() + 1024, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(good.data()));
    stream.avail_in = static_cast<uInt>(good.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_SYNC_FLUSH); // ends on a byte boundary, no final block
    out.resize(stream.total_out);
    deflateEnd(&stream);
    out.append(64, '\xFF'); // next block header: BTYPE 11, which deflate never uses

    ZipMember m = Member("broken.bin", out, false);
    m.methodOverride = 8;
    ZipImage image = BuildZip({m});
    PatchBoth32(&image, 0, kLocalUncompressed, kCentralUncompressed,
                static_cast<uint32_t>(good.size() + 1000));
    return image;
}

} // namespace

TEST(EntryData, StoredAndDeflatedMembersExtractByteExact) {
    TempFolder folder;
    // Large enough that input and output both cross several 64 KB block boundaries.
    const std::string text = SampleData(300000, 11, true);
    const std::string noise = SampleData(70000, 12, false);
    ZIP_File zip;
    OpenSingle(folder,
               BuildZip({Member("text.txt", text, true), Member("noise.bin", noise, false),
                         Member("noise.z", noise, true), Member("empty.txt", "", true),
                         Member("empty.bin", "", false)}),
               &zip);
    const std::string* expected[] = {&text, &noise, &noise};
    for (uint32_t i = 0; i < 3; ++i) {
        ZIP_FileEntry* entry = zip.GetEntry(i);
        std::string memory(expected[i]->size(), '\0');
        EXPECT_EQ(entry->ExtractToMemory(&memory[0], static_cast<uint32_t>(memory.size())), ZIP_OK);
        EXPECT_TRUE(memory == *expected[i]) << i;

        const std::wstring out = folder / (L"out" + std::to_wstring(i));
        EXPECT_EQ(entry->ExtractToFile(out.c_str(), false), ZIP_OK);
        std::string onDisk;
        ASSERT_TRUE(ReadBytes(out, &onDisk));
        EXPECT_TRUE(onDisk == *expected[i]) << i;
    }
    for (uint32_t i = 3; i < 5; ++i) {
        const std::wstring out = folder / (L"empty" + std::to_wstring(i));
        EXPECT_EQ(zip.GetEntry(i)->ExtractToFile(out.c_str(), false), ZIP_OK);
        std::string onDisk = "x";
        ASSERT_TRUE(ReadBytes(out, &onDisk));
        EXPECT_TRUE(onDisk.empty());
    }
}

TEST(EntryData, ChunkedReadsReassembleTheEntry) {
    TempFolder folder;
    const std::string text = SampleData(50000, 13, true);
    ZIP_File zip;
    OpenSingle(folder, BuildZip({Member("a", text, true), Member("b", text, false)}), &zip);
    for (uint32_t i = 0; i < 2; ++i) {
        ZIP_FileEntry* entry = zip.GetEntry(i);
        EntryReadState state;
        ASSERT_EQ(entry->OpenEntryRead(&state), ZIP_OK);
        std::string joined;
        char chunk[777];
        uint32_t produced = 0;
        int result;
        while ((result = entry->ReadEntryData(&state, chunk, sizeof chunk, &produced)) == ZIP_OK &&
               produced != 0) {
            joined.append(chunk, produced);
        }
        EXPECT_EQ(result, ZIP_OK);
        EXPECT_EQ(entry->CloseEntryRead(&state), ZIP_OK);
        EXPECT_TRUE(joined == text) << i;
        // Reading after closing is a bad argument, not a crash.
        EXPECT_EQ(entry->ReadEntryData(&state, chunk, sizeof chunk, &produced), ZIP_BAD_ARGUMENT);
    }
}

TEST(EntryData, AlteredCrcIsReportedAfterTheWholeEntryWasWritten) {
    TempFolder folder;
    const std::string text = SampleData(40000, 14, true);
    ZipImage image = BuildZip({Member("a.txt", text, true)});
    PatchBoth32(&image, 0, kLocalCrc, kCentralCrc, Crc32Of(text) ^ 1);
    ZIP_File zip;
    OpenSingle(folder, image, &zip);

    const std::wstring out = folder / L"a.txt";
    EXPECT_EQ(zip.GetEntry(0)->ExtractToFile(out.c_str(), false), ZIP_ERROR_CRC);
    std::string onDisk;
    ASSERT_TRUE(ReadBytes(out, &onDisk));
    EXPECT_TRUE(onDisk == text);

    std::string memory(text.size(), '\0');
    EXPECT_EQ(zip.GetEntry(0)->ExtractToMemory(&memory[0], 40000), ZIP_ERROR_CRC);
    // A read that stops before the end cannot judge the CRC.
    EXPECT_EQ(zip.GetEntry(0)->ExtractToMemory(&memory[0], 100), ZIP_OK);
}

TEST(EntryData, MethodsOtherThanStoredAndDeflatedAreRefusedWhenRead) {
    for (int method : {12, 1, 9, 14, 99}) {
        TempFolder folder;
        ZipMember m = Member("odd.bin", "some bytes", false);
        m.methodOverride = method;
        ZIP_File zip;
        OpenSingle(folder, BuildZip({m}), &zip);
        char buffer[32];
        EXPECT_EQ(zip.GetEntry(0)->ExtractToMemory(buffer, sizeof buffer), ZIP_BAD_ARCHIVE);
        EXPECT_EQ(zip.GetEntry(0)->ExtractToFile((folder / L"odd.bin").c_str(), false),
                  ZIP_BAD_ARCHIVE);
    }
}

TEST(EntryData, RegressionDeflateStreamRejectedPartWayIsNotSuccess) {
    TempFolder folder;
    const std::string good = SampleData(3000, 15, true);
    ZIP_File zip;
    OpenSingle(folder, StreamRejectedPartWay(good), &zip);
    ZIP_FileEntry* entry = zip.GetEntry(0);

    EntryReadState state;
    ASSERT_EQ(entry->OpenEntryRead(&state), ZIP_OK);
    std::string buffer(8000, '\0');
    uint32_t produced = 0;
    EXPECT_EQ(entry->ReadEntryData(&state, &buffer[0], 8000, &produced), ZIP_BAD_ARCHIVE);
    EXPECT_EQ(produced, good.size());
    EXPECT_EQ(buffer.substr(0, good.size()), good);
    entry->CloseEntryRead(&state);

    EXPECT_EQ(entry->ExtractToMemory(&buffer[0], 8000), ZIP_BAD_ARCHIVE);
    EXPECT_EQ(entry->ExtractToFile((folder / L"broken.bin").c_str(), false), ZIP_BAD_ARCHIVE);
}

TEST(EntryData, RegressionTruncatedDeflateStreamIsNotSuccess) {
    TempFolder folder;
    const std::string text = SampleData(60000, 16, false);
    ZipMember m = Member("cut.bin", DeflateRaw(text).substr(0, 30000), false);
    m.methodOverride = 8;
    ZipImage image = BuildZip({m});
    PatchBoth32(&image, 0, kLocalUncompressed, kCentralUncompressed, 60000);
    PatchBoth32(&image, 0, kLocalCrc, kCentralCrc, Crc32Of(text));
    ZIP_File zip;
    OpenSingle(folder, image, &zip);
    std::string buffer(60000, '\0');
    EXPECT_EQ(zip.GetEntry(0)->ExtractToMemory(&buffer[0], 60000), ZIP_BAD_ARCHIVE);
    EXPECT_EQ(zip.GetEntry(0)->ExtractToFile((folder / L"cut.bin").c_str(), false),
              ZIP_BAD_ARCHIVE);
}

TEST(EntryData, RegressionDataShorterThanDeclaredSizeIsNotSuccess) {
    // Stored bytes or a complete deflate stream that end before the declared size: neither
    // may hang or pass for a whole entry.
    for (bool deflate : {false, true}) {
        TempFolder folder;
        const std::string text = SampleData(20000, 17, true);
        ZipImage image = BuildZip({Member("short.bin", text, deflate)});
        PatchBoth32(&image, 0, kLocalUncompressed, kCentralUncompressed, 20100);
        ZIP_File zip;
        OpenSingle(folder, image, &zip);
        std::string buffer(20100, '\0');
        EXPECT_NE(zip.GetEntry(0)->ExtractToMemory(&buffer[0], 20100), ZIP_OK) << deflate;
        EXPECT_NE(zip.GetEntry(0)->ExtractToFile((folder / L"short.bin").c_str(), false), ZIP_OK)
            << deflate;
    }
}

TEST(EntryData, DeclaredSizeBoundsTheOutputWhenTheDataIsLonger) {
    for (bool deflate : {false, true}) {
        TempFolder folder;
        const std::string text = SampleData(5000, 18, true);
        ZipImage image = BuildZip({Member("long.bin", text, deflate)});
        PatchBoth32(&image, 0, kLocalUncompressed, kCentralUncompressed, 1000);
        ZIP_File zip;
        OpenSingle(folder, image, &zip);
        // The buffer is larger than declared; nothing beyond the declared size is touched.
        std::string buffer(5000, '#');
        EXPECT_EQ(zip.GetEntry(0)->ExtractToMemory(&buffer[0], 5000), ZIP_ERROR_CRC);
        EXPECT_EQ(buffer.substr(0, 1000), text.substr(0, 1000));
        EXPECT_EQ(buffer.find_first_not_of('#', 1000), std::string::npos);
    }
}

TEST(EntryData, BadArguments) {
    TempFolder folder;
    ZIP_File zip;
    OpenSingle(folder, BuildZip({Member("a.txt", "abc", true), Member("dir/", "", false)}), &zip);
    char buffer[8];
    EXPECT_EQ(zip.GetEntry(0)->ExtractToMemory(nullptr, 8), ZIP_BAD_ARGUMENT);
    EXPECT_EQ(zip.GetEntry(0)->ExtractToMemory(buffer, 0), ZIP_BAD_ARGUMENT);
    EXPECT_EQ(zip.GetEntry(0)->OpenEntryRead(nullptr), ZIP_BAD_ARGUMENT);
    EXPECT_EQ(zip.GetEntry(0)->CloseEntryRead(nullptr), ZIP_BAD_ARGUMENT);
    EntryReadState unopened;
    EXPECT_EQ(zip.GetEntry(0)->ReadEntryData(&unopened, buffer, 8), ZIP_BAD_ARGUMENT);
    // A directory cannot be written to a chosen file.
    EXPECT_EQ(zip.GetEntry(1)->ExtractToFile((folder / L"x").c_str(), false), ZIP_BAD_ARGUMENT);
    EXPECT_FALSE(PathExists(folder / L"x"));
}

TEST(EntryData, RegressionFailedWriteIsNotReportedAsSuccess) {
    TempFolder folder;
    ZIP_File zip;
    OpenSingle(folder, BuildZip({Member("a.txt", SampleData(1000, 19, true), true)}), &zip);
    const std::wstring path = folder / L"readonly-handle.bin";
    ASSERT_TRUE(WriteBytes(path, {}));
    zor::FileHandle readOnly(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(readOnly.valid());
    EXPECT_EQ(zip.GetEntry(0)->ExtractToHandle(readOnly.get()), ZIP_ERROR_CREATE);
}

TEST(EntryData, DirectoryRecognition) {
    struct Case {
        const char* name;
        std::string data;
        bool directory;
    } cases[] = {{"a/", "", true},       {"a/b/", "", true}, {"a\\", "", true},
                 {"a\\", "data", false}, {"a", "", false},   {"a/b", "", false}};
    std::vector<ZipMember> members;
    for (const Case& c : cases)
        members.push_back(Member(c.name, c.data, false));
    TempFolder folder;
    ZIP_File zip;
    OpenSingle(folder, BuildZip(members), &zip);
    for (uint32_t i = 0; i < zip.GetEntryCount(); ++i) {
        EXPECT_EQ(zip.GetEntry(i)->IsDirectory(), cases[i].directory) << cases[i].name;
    }
}
