// A deterministic mutation run: thousands of damaged copies of a small valid archive are
// opened and, when they open, fully extracted. Nothing may crash, hang, or write outside the
// destination.
#include "archive_fixture.h"
#include "zip_file.h"
#include "zip_result.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

using namespace vozoru;
using namespace ziptest;

namespace {

ZipImage BaseArchive() {
    std::vector<ZipMember> members(4);
    members[0].name = "dir/";
    members[1].name = "dir/a.txt";
    members[1].data = "stored text of the first file";
    members[2].name = "b.bin";
    members[2].data = SampleData(600, 31, true);
    members[2].deflate = true;
    members[3].name = "dir/sub/c.dat";
    members[3].data = SampleData(200, 32, false);
    members[3].deflate = true;
    ZipLayout layout;
    layout.leading = FillerBytes(64, 33);
    layout.comment = "c";
    return BuildZip(members, layout);
}

// One to three damages: a byte set to a value that matters to paths and signatures, a 16- or
// 32-bit field set to an extreme, or a cut.
void Mutate(std::mt19937* rng, std::vector<unsigned char>* bytes) {
    static const unsigned char kBytes[] = {0, 0xFF, '.', '/', '\\', ':', 'P', 'K', 5, 6, 8, 0x80};
    static const uint32_t kWords[] = {0, 1, 0xFFFF, 0xFFFFFFFFu, 0x7FFFFFFF, 0x10000, 30, 46};
    const unsigned count = 1 + (*rng)() % 3;
    for (unsigned i = 0; i < count && !bytes->empty(); ++i) {
        const size_t at = (*rng)() % bytes->size();
        switch ((*rng)() % 6) {
        case 0:
            (*bytes)[at] = static_cast<unsigned char>((*rng)());
            break;
        case 1:
        case 2:
            (*bytes)[at] = kBytes[(*rng)() % sizeof kBytes];
            break;
        case 3:
        case 4: {
            const uint32_t word = kWords[(*rng)() % (sizeof kWords / sizeof kWords[0])];
            const size_t width = (*rng)() % 2 ? 2 : 4;
            for (size_t b = 0; b < width && at + b < bytes->size(); ++b) {
                (*bytes)[at + b] = static_cast<unsigned char>(word >> (8 * b));
            }
            break;
        }
        default:
            bytes->resize(at);
            break;
        }
    }
}

} // namespace

TEST(Mutation, DamagedArchivesNeverCrashHangOrEscapeTheDestination) {
    TempFolder root;
    const std::wstring outside = root / L"outside";
    const std::wstring destination = root / L"box\\dest";
    const std::wstring archive = root / L"m.zip";
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    const ZipImage base = BaseArchive();

    std::mt19937 rng(20250415u);
    int opened = 0;
    int extracted = 0;
    for (int i = 0; i < 3000; ++i) {
        std::vector<unsigned char> bytes = base.bytes;
        Mutate(&rng, &bytes);
        ASSERT_TRUE(WriteBytes(archive, bytes));
        ZIP_File zip;
        if (zip.OpenArchive(archive.c_str(), true) != ZIP_OK) {
            EXPECT_EQ(zip.GetEntryCount(), 0u);
            continue;
        }
        ++opened;
        if (zip.ExtractAll(destination.c_str(), nullptr, nullptr) == ZIP_OK)
            ++extracted;
        char buffer[1024];
        for (uint32_t e = 0; e < zip.GetEntryCount(); ++e) {
            zip.GetEntry(e)->ExtractToMemory(buffer, sizeof buffer);
        }
        zip.CloseArchive();

        const std::vector<std::wstring> top = ListTree(root.path());
        for (const std::wstring& item : top) {
            const bool expected = item == L"m.zip" || item == L"outside" || item == L"box" ||
                                  item.rfind(L"box\\dest", 0) == 0;
            ASSERT_TRUE(expected) << "mutant " << i << " wrote "
                                  << std::string(item.begin(), item.end());
        }
        ASSERT_TRUE(ListTree(outside).empty()) << "mutant " << i;
        EmptyFolder(root / L"box");
    }
    // The run must reach extraction often enough to mean something.
    EXPECT_GT(opened, 500);
    EXPECT_GT(extracted, 50);
    std::printf("%d of 3000 mutants opened, %d extracted completely\n", opened, extracted);
    RecordProperty("opened", opened);
    RecordProperty("extracted", extracted);
}
