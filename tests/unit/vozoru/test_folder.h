// File-system helpers for the archive tests: unique scratch folders that clean up after
// themselves, and whole-file reads and writes.
#pragma once
#include <string>
#include <vector>

namespace ziptest {

// A fresh folder below the temporary folder, removed with everything in it on destruction.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    // path() + "\" + name
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool ReadBytes(const std::wstring& path, std::string* bytes);
bool PathExists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// Every file and folder below root, as paths relative to it, sorted.
std::vector<std::wstring> ListTree(const std::wstring& root);
// Removes everything below root (read-only files included), keeping root itself.
void EmptyFolder(const std::wstring& root);

} // namespace ziptest
