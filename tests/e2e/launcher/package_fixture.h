// Builds package programs for the launcher tests: a folder of files made by the test, turned
// into a package with the package builder and the launcher stub.
#pragma once
#include <string>
#include <vector>

namespace zor::test {

// Runs the package builder: `folder` becomes the archive appended to the launcher stub,
// written to `package`. True when the builder succeeded. By default the builder's package
// check and configuration encryption are off, since many fixtures are deliberately
// incomplete packages.
bool BuildPackage(const std::wstring& folder, const std::wstring& package,
                  const wchar_t* builderOptions = L"--no-check --no-encrypt");

// Path of the launcher stub program next to the test program.
std::wstring LauncherStub();

// Deterministic bytes: compressible text when `compressible`, else pseudo-random.
std::vector<unsigned char> FixtureBytes(size_t size, bool compressible, unsigned seed);

} // namespace zor::test
