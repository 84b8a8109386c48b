// Small file-system helpers used by the log: creating a folder with its parents and asking
// whether a path exists.
#pragma once

// Creates every level of folder that is missing, parent first. Failures are ignored: an
// existing folder is the usual case, and callers find out when they open a file inside.
// Accepts drive paths ("C:\a\b\"), UNC paths ("\\server\share\a\") and relative paths; the
// last component is a folder too, with or without a trailing separator.
void CreateFolderPath(const wchar_t* folder);

// 1 when a file or folder exists at path, else 0.
int FileExists(const wchar_t* path);
