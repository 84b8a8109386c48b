// Helpers of the log tests: a private temporary folder, reading a log back, following what a
// test appends to the shared normal log, and masking the clock in log text.
#pragma once

#include <string>

namespace logtest {

// A fresh folder under the temporary folder, removed with its content at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // The folder path, ending with a backslash.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// The whole file as bytes; empty when it is missing.
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool PathExists(const std::wstring& path);

// The normal log "C:\ridezezer\log\vazuvuda.log" is shared by every log object on the machine,
// so tests look only at what was appended since they started. Whatever the test created there
// (the file, the folders, default-named verbose logs) is removed at the end.
class NormalLogWatch {
public:
    NormalLogWatch();
    ~NormalLogWatch();
    NormalLogWatch(const NormalLogWatch&) = delete;
    NormalLogWatch& operator=(const NormalLogWatch&) = delete;
    std::string Appended() const;
    static std::wstring Folder();
    static std::wstring Path();

private:
    std::size_t start_ = 0;
    bool rootExisted_ = false;
    bool folderExisted_ = false;
    bool fileExisted_ = false;
};

// Replaces every clock time (9:05:07, 14:03:22) with "<time>".
std::string MaskTimes(const std::string& text);

// The folder of the running test program, ending with a backslash.
std::wstring ProgramFolder();

} // namespace logtest
