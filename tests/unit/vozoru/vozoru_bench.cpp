// Benchmark of opening large archives (not a test).
//   vozoru_bench open <archive> [repeats]   prints the milliseconds of the fastest open
//   vozoru_bench make <archive> [members]   writes an archive of small members (10,000)
#include "test_folder.h"
#include "zip_builder.h"
#include "zip_file.h"
#include "zip_result.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

int Usage() {
    std::fputs("usage: vozoru_bench open <archive> [repeats]\n"
               "       vozoru_bench make <archive> [members]\n",
               stderr);
    return 2;
}

int MakeArchive(const wchar_t* path, unsigned long members) {
    std::vector<ziptest::ZipMember> list(members);
    for (unsigned long i = 0; i < members; ++i) {
        list[i].name = "pkg/files/member" + std::to_string(i) + ".dat";
        list[i].data = "member " + std::to_string(i);
    }
    if (!ziptest::WriteBytes(path, ziptest::BuildZip(list).bytes)) {
        std::fputs("cannot write the archive\n", stderr);
        return 1;
    }
    return 0;
}

int TimeOpen(const wchar_t* path, unsigned long repeats) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double best = -1;
    uint32_t entries = 0;
    for (unsigned long i = 0; i < repeats; ++i) {
        LARGE_INTEGER start, stop;
        QueryPerformanceCounter(&start);
        vozoru::ZIP_File zip;
        const int result = zip.OpenArchive(path, true);
        QueryPerformanceCounter(&stop);
        if (result != vozoru::ZIP_OK) {
            std::fprintf(stderr, "OpenArchive failed: %d\n", result);
            return 1;
        }
        entries = zip.GetEntryCount();
        const double ms = 1000.0 * static_cast<double>(stop.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart);
        if (best < 0 || ms < best)
            best = ms;
    }
    std::fprintf(stderr, "%u entries\n", entries);
    std::printf("%.1f\n", best);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return Usage();
    const unsigned long count = argc > 3 ? std::wcstoul(argv[3], nullptr, 10) : 0;
    if (std::wcscmp(argv[1], L"open") == 0)
        return TimeOpen(argv[2], count ? count : 1);
    if (std::wcscmp(argv[1], L"make") == 0)
        return MakeArchive(argv[2], count ? count : 10000);
    return Usage();
}
