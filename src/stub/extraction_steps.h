// The steps that extract mode and install mode share: free space, extraction with progress,
// and the configuration file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace zor {

// Sum of the uncompressed sizes of every member of the launcher's archive.
uint64_t RequiredExtractionBytes();

// Bytes available to the caller on the current folder's volume; 0 when unknown.
uint64_t AvailableBytesHere();

// The warning shown and logged when the volume is too small (string 1003 filled in), in the
// chosen language or, for the log, in English.
std::wstring FormatDiskSpaceMessage(uint64_t required, uint64_t available, bool english = false);

// Extracts the whole archive into `folder`, moving the progress bar `progressBar` (may be
// null). Returns the archive reader's result code.
int ExtractPackageInto(const wchar_t* folder, HWND progressBar);

// Copies the file named by "/config_file" into `folder` under its own file name, overwriting.
// Returns whether the copy succeeded and reports the target path it used.
bool CopyConfigFileInto(const wchar_t* folder, const wchar_t* source, std::wstring& target);

} // namespace zor
