// Helper program of the log tests, started by log_test.exe. It carries a version resource.
//   log_writer append <folder> <name> <tag> <count> <start event>
//       appends count verbose entries to <folder><name> once the start event is set
//   log_writer session <folder> <name>
//       writes one session block with the stub version "9.8.7.6"
//   log_writer version
//       exits with 1 when the version helpers read this program's version correctly
#include "cmp_log.h"
#include "module_info.h"
#include "win_handles.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

int Append(const wchar_t* folder, const wchar_t* name, const wchar_t* tag, int count,
           const wchar_t* startEvent) {
    zor::KernelHandle start(OpenEventW(SYNCHRONIZE, FALSE, startEvent));
    if (!start || WaitForSingleObject(start.get(), 60000) != WAIT_OBJECT_0)
        return 3;
    CCmpLog log(name, folder);
    log.SetVerbose(1);
    if (log.Open() != CCmpLog::kOk)
        return 4;
    for (int i = 0; i < count; ++i) {
        const std::wstring filler(static_cast<std::size_t>((i * 37) % 300), L'x');
        log.Write(kLogVerboseOnly, kLogInfo, ZOR_LOG_SOURCE, i, L"%s piece %04d %s\r\n", tag, i,
                  filler.c_str());
    }
    return log.Close() == CCmpLog::kOk ? 1 : 5;
}

int Session(const wchar_t* folder, const wchar_t* name) {
    CCmpLog log(name, folder);
    log.SetStubVersion(L"9.8.7.6");
    log.SetVerbose(1);
    if (log.Open() != CCmpLog::kOk)
        return 4;
    log.BeginSession();
    log.EndSession(1);
    return log.Close() == CCmpLog::kOk ? 1 : 5;
}

int Version() {
    wchar_t text[32] = {};
    if (GetModuleVersionText(text, 32) != 1 || std::wcscmp(text, L"1.2.3.4") != 0)
        return 6;
    wchar_t exact[10] = {};
    if (GetModuleVersionText(exact, 10) != 1 || std::wcscmp(exact, L"1.2.3.4") != 0)
        return 7;
    wchar_t small[9] = L"kept";
    if (GetModuleVersionText(small, 9) != 0 || std::wcscmp(small, L"kept") != 0)
        return 8;
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 7 && std::wcscmp(argv[1], L"append") == 0) {
        return Append(argv[2], argv[3], argv[4], _wtoi(argv[5]), argv[6]);
    }
    if (argc == 4 && std::wcscmp(argv[1], L"session") == 0)
        return Session(argv[2], argv[3]);
    if (argc == 2 && std::wcscmp(argv[1], L"version") == 0)
        return Version();
    return 2;
}
