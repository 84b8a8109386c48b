// Packages made on the spot for the package-object tests: a folder of members turned into a
// launcher-like file (a few bytes of "program" followed by the archive).
#pragma once
#include <map>
#include <string>

#include "temp_folder.h"

namespace zor::test {

class PackageFile {
public:
    // Members by archive name (folders with "\\" in the name are created as needed).
    void Add(const std::wstring& name, const std::string& content) { members_[name] = content; }
    // Writes the package as `fileName` in a fresh temporary folder; returns its path.
    std::wstring Build(const std::wstring& fileName);

private:
    std::map<std::wstring, std::string> members_;
    TempFolder folder_{L"pk"};
};

} // namespace zor::test
