// The host side of the Wine test machine, reached from a Windows test program: shell scripts
// run as host processes, screenshots of the virtual display, and the launcher started in a
// Wine process of its own whose locale the test chooses (a Windows child would inherit the
// test's locale).
#pragma once
#include <windows.h>

#include <string>

namespace zor::test {

// The host path of a Windows path, or empty when Wine cannot tell it.
std::string HostPathOf(const std::wstring& path);

// Runs `script` with the host's /bin/sh and waits until it has written `doneFile`.
bool RunHostScript(const std::wstring& folder, const std::string& script,
                   const std::wstring& doneFile, DWORD timeoutMs);

// Saves the whole virtual display as a PNG file.
bool SaveScreenshot(const std::wstring& pngPath);

// A program started by a new Wine process with LANG and LC_ALL set to `locale`
// ("ja_JP.UTF-8"), so that it sees that locale as the system's.
class LocaleProcess {
public:
    LocaleProcess(const std::wstring& folder, const std::wstring& program,
                  const std::wstring& arguments, const char* locale);
    bool started() const { return started_; }
    // The program's exit code (low byte, as Wine reports it), or -1 on timeout.
    long Wait(DWORD timeoutMs = 60000) const;

private:
    std::wstring exitFile_;
    bool started_ = false;
};

// Quotes text for the host shell.
std::string ShellQuote(const std::string& text);

} // namespace zor::test
