// Opening archives: locating the end record, reading the central directory and refusing
// archives whose headers cannot be trusted.
#include "archive_fixture.h"
#include "zip_file.h"
#include "zip_result.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vozoru;
using namespace ziptest;

namespace {

std::vector<ZipMember> TwoMembers() {
    ZipMember stored;
    stored.name = "readme.txt";
    stored.data = "stored member text\r\n";
    ZipMember deflated;
    deflated.name = "bin/payload.dat";
    deflated.data = SampleData(5000, 7, true);
    deflated.deflate = true;
    return {stored, deflated};
}

void ExpectClosedAndEmpty(const ZIP_File& zip) {
    EXPECT_FALSE(zip.IsOpen());
    EXPECT_EQ(zip.GetEntryCount(), 0u);
    EXPECT_EQ(zip.GetEntry(0), nullptr);
    EXPECT_FALSE(zip.HasLeadingData());
    EXPECT_EQ(zip.GetCentralDirectoryOffset(), 0u);
}

} // namespace

TEST(OpenArchive, ProgramBeforeAndSignatureBlockAfterTheArchive) {
    TempFolder folder;
    ZipLayout layout;
    layout.leading = FillerBytes(7000, 1);
    layout.leading[0] = 'M';
    layout.leading[1] = 'Z';
    layout.trailing = FillerBytes(4096, 2);
    layout.comment = "package comment";
    const ZipImage image = BuildZip(TwoMembers(), layout);

    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, image).c_str(), true), ZIP_OK);
    EXPECT_TRUE(zip.IsOpen());
    EXPECT_TRUE(zip.HasLeadingData());
    EXPECT_EQ(zip.GetFirstLocalHeaderOffset(), 7000u);
    EXPECT_EQ(zip.GetCentralDirectoryOffset(), image.centralRecords[0]);
    ASSERT_NE(zip.GetComment(), nullptr);
    EXPECT_STREQ(zip.GetComment(), "package comment");
    ASSERT_EQ(zip.GetEntryCount(), 2u);

    const ZIP_FileEntry* entry = zip.GetEntry(1);
    ASSERT_NE(entry, nullptr);
    EXPECT_STREQ(entry->GetName(), "bin/payload.dat");
    EXPECT_EQ(entry->GetMethod(), 8u);
    EXPECT_EQ(entry->GetUncompressedSize(), 5000u);
    EXPECT_EQ(entry->GetCrc32(), Crc32Of(TwoMembers()[1].data));
    EXPECT_EQ(entry->GetDosDate(), 0x5A8Fu);
    EXPECT_EQ(entry->GetDosTime(), 0x6A2Fu);
    EXPECT_EQ(entry->GetExternalAttributes(), 0x20u);
    EXPECT_EQ(entry->GetLocalHeaderOffset(), image.localHeaders[1]);
    EXPECT_EQ(entry->GetDataOffset(), image.localHeaders[1] + 30 + entry->GetNameLength());

    std::string data(5000, '\0');
    EXPECT_EQ(zip.GetEntry(1)->ExtractToMemory(&data[0], 5000), ZIP_OK);
    EXPECT_EQ(data, TwoMembers()[1].data);
}

TEST(OpenArchive, PlainArchiveHasNoLeadingData) {
    TempFolder folder;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(TwoMembers())).c_str(), true), ZIP_OK);
    EXPECT_FALSE(zip.HasLeadingData());
    EXPECT_EQ(zip.GetFirstLocalHeaderOffset(), 0u);
    EXPECT_EQ(zip.GetComment(), nullptr);
}

TEST(OpenArchive, EmptyArchiveOpensWithoutEntries) {
    TempFolder folder;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip({})).c_str(), true), ZIP_OK);
    EXPECT_EQ(zip.GetEntryCount(), 0u);
    EXPECT_EQ(zip.GetEntry(0), nullptr);
}

TEST(OpenArchive, EndRecordMustStartWithinTheLast65535Bytes) {
    // The distance from the record's start to the end of the file decides.
    struct Case {
        size_t distance;
        int expected;
    } cases[] = {{65535, ZIP_OK}, {65536, ZIP_ERROR_READ}, {200000, ZIP_ERROR_READ}};
    for (const Case& c : cases) {
        TempFolder folder;
        ZipLayout layout;
        layout.trailing = FillerBytes(c.distance - 22, 3);
        ZIP_File zip;
        EXPECT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(TwoMembers(), layout)).c_str()),
                  c.expected)
            << c.distance;
        EXPECT_EQ(zip.GetEntryCount(), c.expected == ZIP_OK ? 2u : 0u);
    }
}

TEST(OpenArchive, MissingOrUnreadableFile) {
    TempFolder folder;
    ZIP_File zip;
    EXPECT_EQ(zip.OpenArchive((folder / L"absent.zip").c_str(), true), ZIP_ERROR_OPEN);
    EXPECT_EQ(zip.OpenArchive(nullptr, true), ZIP_ERROR_OPEN);
    // A folder is no archive file.
    EXPECT_EQ(zip.OpenArchive(folder.path().c_str(), true), ZIP_ERROR_OPEN);
    // Files without any end record, from empty to tiny.
    for (size_t size : {0u, 3u, 21u, 4000u}) {
        const std::wstring path = folder / L"plain.bin";
        ASSERT_TRUE(WriteBytes(path, FillerBytes(size, 9)));
        EXPECT_EQ(zip.OpenArchive(path.c_str(), true), ZIP_ERROR_READ) << size;
        ExpectClosedAndEmpty(zip);
    }
}

TEST(OpenArchive, HostileHeadersAreRefusedAndLeaveTheObjectClosed) {
    struct Case {
        const char* what;
        std::function<void(ZipImage*)> damage;
        int expected;
    };
    const Case cases[] = {
        {"second disk", [](ZipImage* z) { z->Put16(z->endRecord + 4, 1); }, ZIP_BAD_ARCHIVE},
        {"directory on another disk", [](ZipImage* z) { z->Put16(z->endRecord + 6, 1); },
         ZIP_BAD_ARCHIVE},
        {"entry counts disagree", [](ZipImage* z) { z->Put16(z->endRecord + 8, 1); },
         ZIP_BAD_ARCHIVE},
        {"more entries than records",
         [](ZipImage* z) {
             z->Put16(z->endRecord + 8, 3);
             z->Put16(z->endRecord + 10, 3);
         },
         ZIP_BAD_ARCHIVE},
        {"count far beyond the directory",
         [](ZipImage* z) {
             z->Put16(z->endRecord + 8, 0xFFFF);
             z->Put16(z->endRecord + 10, 0xFFFF);
         },
         ZIP_BAD_ARCHIVE},
        {"directory offset past the end record",
         [](ZipImage* z) { z->Put32(z->endRecord + 16, static_cast<uint32_t>(z->endRecord + 1)); },
         ZIP_BAD_ARCHIVE},
        {"directory offset beyond the file",
         [](ZipImage* z) { z->Put32(z->endRecord + 16, 0xFFFFFFF0u); }, ZIP_BAD_ARCHIVE},
        {"central signature", [](ZipImage* z) { z->Put32(z->centralRecords[1], 0x02014B51); },
         ZIP_BAD_ARCHIVE},
        {"local signature", [](ZipImage* z) { z->Put32(z->localHeaders[1], 0x04034B51); },
         ZIP_BAD_ARCHIVE},
        {"local header offset beyond the file",
         [](ZipImage* z) { z->Put32(z->centralRecords[1] + 42, 0xFFFFFFF0u); }, ZIP_BAD_ARCHIVE},
        {"local header offset at the very end",
         [](ZipImage* z) {
             z->Put32(z->centralRecords[1] + 42, static_cast<uint32_t>(z->bytes.size() - 4));
         },
         ZIP_BAD_ARCHIVE},
        {"local name runs past the file",
         [](ZipImage* z) { z->Put16(z->localHeaders[1] + 26, 0xFFFF); }, ZIP_BAD_ARCHIVE},
        {"central name runs past the directory",
         [](ZipImage* z) { z->Put16(z->centralRecords[1] + 28, 0xFFFF); }, ZIP_BAD_ARCHIVE},
        {"compressed size beyond the file",
         [](ZipImage* z) { PatchBoth32(z, 1, kLocalCompressed, kCentralCompressed, 0x7FFFFFFF); },
         ZIP_BAD_ARCHIVE},
        {"local version needed", [](ZipImage* z) { z->Put16(z->localHeaders[0] + 4, 45); },
         ZIP_BAD_ARCHIVE},
        {"local flags", [](ZipImage* z) { z->Put16(z->localHeaders[0] + 6, 1); }, ZIP_BAD_ARCHIVE},
        {"local method", [](ZipImage* z) { z->Put16(z->localHeaders[0] + 8, 8); }, ZIP_BAD_ARCHIVE},
        {"local time", [](ZipImage* z) { z->Put16(z->localHeaders[0] + 10, 1); }, ZIP_BAD_ARCHIVE},
        {"local date", [](ZipImage* z) { z->Put16(z->localHeaders[0] + 12, 1); }, ZIP_BAD_ARCHIVE},
        {"local CRC", [](ZipImage* z) { z->Put32(z->localHeaders[0] + kLocalCrc, 1); },
         ZIP_BAD_ARCHIVE},
        {"local compressed size",
         [](ZipImage* z) { z->Put32(z->localHeaders[0] + kLocalCompressed, 1); }, ZIP_BAD_ARCHIVE},
        {"local uncompressed size",
         [](ZipImage* z) { z->Put32(z->localHeaders[0] + kLocalUncompressed, 1); },
         ZIP_BAD_ARCHIVE},
        {"local name in other case", [](ZipImage* z) { z->bytes[z->localHeaders[0] + 30] = 'R'; },
         ZIP_BAD_ARCHIVE},
        {"end record cut by the end of the file",
         [](ZipImage* z) { z->bytes.resize(z->endRecord + 10); }, ZIP_BAD_ARCHIVE},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        ZipImage image = BuildZip(TwoMembers());
        c.damage(&image);
        ZIP_File zip;
        EXPECT_EQ(zip.OpenArchive(WriteArchive(folder, image).c_str(), true), c.expected) << c.what;
        ExpectClosedAndEmpty(zip);
    }
}

TEST(OpenArchive, DataDescriptorEntryIsRefused) {
    TempFolder folder;
    std::vector<ZipMember> members = TwoMembers();
    members[1].dataDescriptor = true;
    ZIP_File zip;
    EXPECT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(members)).c_str(), true),
              ZIP_BAD_ARCHIVE);
    ExpectClosedAndEmpty(zip);
}

TEST(OpenArchive, TruncatedFilesFailCleanly) {
    TempFolder folder;
    ZipLayout layout;
    layout.leading = FillerBytes(100, 4);
    const ZipImage image = BuildZip(TwoMembers(), layout);
    // Every prefix of the file; a cut anywhere loses or damages the end record.
    for (size_t size = 0; size < image.bytes.size(); size += 7) {
        ZipImage cut = image;
        cut.bytes.resize(size);
        ZIP_File zip;
        EXPECT_NE(zip.OpenArchive(WriteArchive(folder, cut).c_str(), true), ZIP_OK) << size;
        ExpectClosedAndEmpty(zip);
    }
    // Member data cut out of the middle while the directory survives: the headers now point
    // at the wrong bytes.
    ZipImage hollow = image;
    hollow.bytes.erase(hollow.bytes.begin() + image.localHeaders[1] - 10,
                       hollow.bytes.begin() + image.localHeaders[1] + 200);
    ZIP_File zip;
    EXPECT_EQ(zip.OpenArchive(WriteArchive(folder, hollow).c_str(), true), ZIP_BAD_ARCHIVE);
}

TEST(OpenArchive, ReopeningReplacesTheEntriesAndAFailedOpenClears) {
    TempFolder folder;
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(TwoMembers()), L"a.zip").c_str()),
              ZIP_OK);
    ZipMember one;
    one.name = "only.txt";
    one.data = "x";
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip({one}), L"b.zip").c_str()), ZIP_OK);
    ASSERT_EQ(zip.GetEntryCount(), 1u);
    EXPECT_STREQ(zip.GetEntry(0)->GetName(), "only.txt");
    EXPECT_EQ(zip.OpenArchive((folder / L"absent.zip").c_str()), ZIP_ERROR_OPEN);
    ExpectClosedAndEmpty(zip);
    EXPECT_TRUE(zip.IsReadOnly());
}

TEST(OpenArchive, ReadWriteModeHoldsTheFileExclusively) {
    TempFolder folder;
    const std::wstring path = WriteArchive(folder, BuildZip(TwoMembers()));
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(path.c_str(), false), ZIP_OK);
    EXPECT_FALSE(zip.IsReadOnly());
    ZIP_File second;
    EXPECT_EQ(second.OpenArchive(path.c_str(), true), ZIP_ERROR_OPEN);
    zip.CloseArchive();
    EXPECT_EQ(second.OpenArchive(path.c_str(), true), ZIP_OK);
}

TEST(FindEntry, MatchesNamesIgnoringCase) {
    TempFolder folder;
    std::vector<ZipMember> members = TwoMembers();
    ZipMember duplicate;
    duplicate.name = "BIN/PAYLOAD.DAT";
    duplicate.data = "later";
    members.push_back(duplicate);
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(members)).c_str()), ZIP_OK);
    EXPECT_EQ(zip.FindEntry(L"README.TXT"), zip.GetEntry(0));
    // The first of several matching names wins.
    EXPECT_EQ(zip.FindEntry(L"Bin/Payload.Dat"), zip.GetEntry(1));
    EXPECT_EQ(zip.FindEntry(L"readme.tx"), nullptr);
    EXPECT_EQ(zip.FindEntry(L"bin\\payload.dat"), nullptr);
    EXPECT_EQ(zip.FindEntry(nullptr), nullptr);
}

TEST(EntryIteration, VisitsEveryEntryInDirectoryOrder) {
    TempFolder folder;
    std::vector<ZipMember> members;
    for (int i = 0; i < 5; ++i) {
        ZipMember m;
        m.name = "file" + std::to_string(i);
        members.push_back(m);
    }
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(WriteArchive(folder, BuildZip(members)).c_str()), ZIP_OK);
    ZIP_File::EntryCursor cursor;
    zip.BeginEntryIteration(&cursor);
    for (uint32_t i = 0; i < 5; ++i) {
        ZIP_FileEntry* entry = zip.NextEntry(&cursor);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry, zip.GetEntry(i));
        EXPECT_EQ(entry->GetName(), "file" + std::to_string(i));
    }
    EXPECT_EQ(zip.NextEntry(&cursor), nullptr);
    EXPECT_EQ(zip.NextEntry(&cursor), nullptr);
    zip.EndEntryIteration(&cursor);
    EXPECT_EQ(zip.NextEntry(&cursor), nullptr);
    // Index lookups out of order still find the right entries.
    EXPECT_STREQ(zip.GetEntry(4)->GetName(), "file4");
    EXPECT_STREQ(zip.GetEntry(2)->GetName(), "file2");
    EXPECT_EQ(zip.GetEntry(5), nullptr);
}

TEST(OpenArchive, TenThousandMembersOpenQuickly) {
    TempFolder folder;
    std::vector<ZipMember> members(10000);
    for (size_t i = 0; i < members.size(); ++i) {
        members[i].name = "pkg/files/member" + std::to_string(i) + ".dat";
        members[i].data = std::to_string(i);
    }
    ZipLayout layout;
    layout.leading = FillerBytes(50000, 5);
    const std::wstring path = WriteArchive(folder, BuildZip(members, layout));
    LARGE_INTEGER frequency, start, stop;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    ZIP_File zip;
    ASSERT_EQ(zip.OpenArchive(path.c_str()), ZIP_OK);
    QueryPerformanceCounter(&stop);
    const double ms = 1000.0 * (stop.QuadPart - start.QuadPart) / frequency.QuadPart;
    EXPECT_EQ(zip.GetEntryCount(), 10000u);
    EXPECT_NE(zip.FindEntry(L"PKG/files/member9999.dat"), nullptr);
    // Generous against a busy machine; the benchmark gives the real figure.
    EXPECT_LT(ms, 1000.0);
    RecordProperty("open_ms", static_cast<int>(ms));
}
