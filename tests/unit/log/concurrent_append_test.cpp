// Several processes appending to one log at the same time, and the session header of a program
// that has a version resource. Both use the log_writer helper program.
#include "log_test_support.h"
#include "win_handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

using logtest::NormalLogWatch;
using logtest::ReadFileBytes;
using logtest::TempFolder;

namespace {

zor::KernelHandle StartWriter(const std::wstring& arguments) {
    const std::wstring program = logtest::ProgramFolder() + L"log_writer.exe";
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return zor::KernelHandle();
    }
    CloseHandle(process.hThread);
    return zor::KernelHandle(process.hProcess);
}

DWORD WaitForExit(const zor::KernelHandle& process) {
    DWORD code = 0xFFFF;
    if (WaitForSingleObject(process.get(), 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.get(), &code);
    }
    return code;
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

} // namespace

TEST(ConcurrentAppend, NoPieceIsLostOrTornBetweenProcesses) {
    NormalLogWatch normal;
    TempFolder folder;
    const int count = 1000;
    const std::wstring eventName = L"zorlog-start-" + std::to_wstring(GetCurrentProcessId());
    zor::KernelHandle start(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(start);
    // The folder is passed without its closing backslash: a trailing backslash would escape
    // the closing quote on the command line.
    const std::wstring folderArgument = folder.path().substr(0, folder.path().size() - 1);
    std::vector<zor::KernelHandle> writers;
    for (const wchar_t* tag : {L"A", L"B", L"C"}) {
        writers.push_back(StartWriter(L"append " + Quoted(folderArgument) + L" shared.log " + tag +
                                      L" " + std::to_wstring(count) + L" " + eventName));
        ASSERT_TRUE(writers.back());
    }
    SetEvent(start.get()); // all writers begin together
    for (const zor::KernelHandle& writer : writers)
        EXPECT_EQ(WaitForExit(writer), 1u);

    std::string text = ReadFileBytes(folder / L"shared.log");
    // Prefixes and messages are separate pieces: another process may slip in between them, but
    // every piece itself must arrive whole and exactly once.
    static const std::regex prefix(
        "\\[[0-9]{1,2}:[0-9]{2}:[0-9]{2}\\]::log_writer\\.cpp\\[[0-9]+\\] ");
    const auto prefixes = std::distance(std::sregex_iterator(text.begin(), text.end(), prefix),
                                        std::sregex_iterator());
    EXPECT_EQ(prefixes, 3 * count);
    text = std::regex_replace(text, prefix, "");

    static const std::regex line("([ABC]) piece ([0-9]{4}) (x*)\r\n");
    std::set<std::string> seen;
    std::size_t consumed = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), line);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        ASSERT_EQ(static_cast<std::size_t>(m.position(0)), consumed)
            << "torn piece near " << consumed;
        const int index = std::stoi(m[2].str());
        EXPECT_EQ(m[3].length(), (index * 37) % 300) << m[0];
        EXPECT_TRUE(seen.insert(m[1].str() + m[2].str()).second) << "duplicate " << m[0];
        consumed += static_cast<std::size_t>(m.length(0));
    }
    EXPECT_EQ(consumed, text.size());
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(3 * count));
}

TEST(ConcurrentAppend, SessionHeaderShowsTheProgramsVersion) {
    NormalLogWatch normal;
    TempFolder folder;
    const std::wstring folderArgument = folder.path().substr(0, folder.path().size() - 1);
    EXPECT_EQ(WaitForExit(StartWriter(L"session " + Quoted(folderArgument) + L" s.log")), 1u);
    const std::string verbose = ReadFileBytes(folder / L"s.log");
    EXPECT_NE(verbose.find("\r\nSource:          log_writer.exe\r\nVersion:         1.2.3.4\r\n"
                           "Stub Version:    9.8.7.6\r\n"),
              std::string::npos)
        << verbose;
    EXPECT_NE(normal.Appended().find("Version:         1.2.3.4\r\nLog Date:"), std::string::npos);
    EXPECT_EQ(WaitForExit(StartWriter(L"version")), 1u);
}
