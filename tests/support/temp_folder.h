// A uniquely named folder under the temporary folder, removed with its contents at the end
// of the test.
#pragma once
#include <string>
#include <vector>

namespace zor::test {

class TempFolder {
public:
    explicit TempFolder(const wchar_t* prefix = L"zt");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Small file helpers for fixtures.
bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool ReadFileBytes(const std::wstring& path, std::vector<unsigned char>& bytes);
bool MakeFolder(const std::wstring& path);
bool PathExists(const std::wstring& path);
// Removes a folder tree (test clean-up only).
void RemoveTree(const std::wstring& path);

} // namespace zor::test
