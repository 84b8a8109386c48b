// Small text helpers for switches and names read from the system.
#pragma once

namespace zor {

// Index of the first occurrence of `pattern` in `text`, ignoring letter case, or -1. An empty
// or missing pattern, a missing text, or a pattern longer than the text gives -1.
int FindSubstringNoCase(const wchar_t* text, const wchar_t* pattern);

// Removes trailing spaces, tabs, line feeds and carriage returns from `text` in place; leading
// white space stays. Only moves the terminator, so it never writes beyond the text. Returns
// `text` (null stays null).
wchar_t* TrimTrailingWhitespace(wchar_t* text);

} // namespace zor
