// Folders of the install sequence: the fresh extraction folder, folders created with their
// missing parents, and the removal of a folder with everything it holds.
#pragma once
#include <cstddef>

namespace zor {

// Capacity of every path handled here, terminator included. A longer path is refused rather
// than shortened, since a shortened path names a different folder.
constexpr std::size_t kFolderPathCapacity = 260;

// Creates "<temporary folder>\{GUID}" with a newly made GUID in its registry form and stores
// its path in `output` (capacity `capacity`, at most kFolderPathCapacity is used). True when
// the folder was created; on failure `output` is left empty.
bool CreateExtractionFolder(wchar_t* output, std::size_t capacity);

// Creates `path` and every missing parent. `existed` tells whether the folder was already
// there. True when the folder exists afterwards; a file of that name is not a folder.
bool CreateDirectoryTree(const wchar_t* path, bool& existed);

// Removes `folder` with its files and sub-folders. Read-only and system attributes are cleared
// first; what cannot be removed now is scheduled for removal at the next restart. Links
// (junctions, symbolic links) are removed themselves and never followed, so nothing outside
// the folder is touched. False when the listing of a folder cannot start or a path does not
// fit in kFolderPathCapacity; true once the walk completed.
bool DeleteFolderTree(const wchar_t* folder);

// The install sequence's clean-up rule: the extraction folder is removed only when this run
// created it (the temporary folder, or an "/instpath:" folder that did not exist before); a
// folder that was already there, or was chosen for extraction, keeps what it holds. Returns
// DeleteFolderTree's result, or true when there was nothing to remove.
bool RemoveExtractionFolder(const wchar_t* folder, bool createdByThisRun);

} // namespace zor
