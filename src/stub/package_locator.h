// Finds the package definition among the members of an archive when it is not named after
// the launcher's file.
#pragma once
#include <string>

namespace vozoru {
class ZIP_File;
}

namespace zor {

// The version a package definition's root element carries.
constexpr const wchar_t* kDefinitionVersion = L"2.0.1.0";

// The first ".xml" member (extension ignoring case) that parses and whose top-level
// `zor_package` has version "2.0.1.0" (ignoring case). True and `memberName` set when found.
bool LocatePackageDefinition(vozoru::ZIP_File& archive, std::wstring& memberName);

} // namespace zor
