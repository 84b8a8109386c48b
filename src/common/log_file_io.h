// File access of the log: opening a log file shared with other processes, appending one piece
// so that concurrent writers never overwrite each other, and reading a log back whole.
#pragma once

#include "win_handles.h"

#include <cstdarg>
#include <cstddef>
#include <memory>

namespace zor {

// Opens or creates path for reading and writing, shared for reading and writing, keeping its
// content. The result is invalid when the file cannot be opened.
FileHandle OpenSharedLogFile(const wchar_t* path);

// Appends size bytes at the current end of the file. Writers in other processes that use this
// function are serialised, so a piece is never overwritten or split. False on any failure;
// an invalid handle writes nothing.
bool AppendToLogFile(HANDLE file, const void* bytes, std::size_t size);

// Formats one piece ("%s" takes a wide string), converts it to the ANSI code page and appends
// it. An empty piece writes nothing. False when formatting, conversion or writing failed.
bool AppendFormattedPiece(HANDLE file, const wchar_t* format, std::va_list args);
bool AppendFormattedPieceF(HANDLE file, const wchar_t* format, ...);

// Reads the whole file from its start. size receives the byte count; data is null for an empty
// file. False when the file cannot be measured or read, or is too large to hold in memory.
bool ReadWholeLogFile(HANDLE file, std::unique_ptr<char[]>& data, std::size_t& size);

} // namespace zor
