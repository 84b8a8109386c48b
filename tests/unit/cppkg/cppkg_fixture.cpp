#include "cppkg_fixture.h"

#include <sstream>
#include <vector>

#include "build_command.h"

namespace zor::test {

std::wstring PackageFile::Build(const std::wstring& fileName) {
    const std::wstring source = folder_ / L"src";
    MakeFolder(source);
    for (const auto& [name, content] : members_) {
        for (size_t slash = name.find(L'\\'); slash != std::wstring::npos;
             slash = name.find(L'\\', slash + 1))
            MakeFolder(source + L"\\" + name.substr(0, slash));
        WriteFileBytes(source + L"\\" + name,
                       std::vector<unsigned char>(content.begin(), content.end()));
    }
    const std::wstring stub = folder_ / L"stub.bin";
    WriteFileBytes(stub, std::vector<unsigned char>(4096, 0x90));
    zorpack::BuildOptions options;
    options.output = folder_ / fileName;
    options.stub = stub;
    options.input = source;
    std::ostringstream out, err;
    if (zorpack::runBuild(options, out, err) != 0) return std::wstring();
    return folder_ / fileName;
}

} // namespace zor::test
