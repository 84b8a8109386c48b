// Writes the package's configuration bytes (decrypted when the package stores them
// encrypted) into the extraction folder.
#pragma once

namespace vozoru {
class ZIP_File;
}

namespace zor {

class CPPkg;

// True when nothing had to be written or the file was written into the current folder.
// A configuration name that would lead outside the current folder is refused.
bool WriteConfigFile(const CPPkg& package, vozoru::ZIP_File& archive);

// True for a relative path that stays below the folder it is joined to: no drive, no root,
// no UNC prefix, no ".." segment, no device name, not empty.
bool IsContainedRelativePath(const wchar_t* path);

} // namespace zor
