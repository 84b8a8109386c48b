#include "package_fixture.h"

#include "process_runner.h"

namespace zor::test {

std::wstring LauncherStub() { return ProgramFolder() + L"\\zorstub.exe"; }

bool BuildPackage(const std::wstring& folder, const std::wstring& package,
                  const wchar_t* builderOptions) {
    const std::wstring command = Quote(ProgramFolder() + L"\\zorpack.exe") + L" " +
                                 builderOptions + L" -o " +
                                 Quote(package) + L" --stub " + Quote(LauncherStub()) + L" " +
                                 Quote(folder);
    return RunToEnd(command) == 0;
}

std::vector<unsigned char> FixtureBytes(size_t size, bool compressible, unsigned seed) {
    std::vector<unsigned char> bytes(size);
    unsigned state = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = compressible ? static_cast<unsigned char>("package text\r\n"[i % 14])
                                : static_cast<unsigned char>(state >> 16);
    }
    return bytes;
}

} // namespace zor::test
