// Real folder links for tests. Windows makes them with CreateSymbolicLinkW. Under Wine that
// call reports success without making anything, but Wine shows a host symbolic link as a
// folder with the reparse-point attribute, so there the host's own "ln" makes the link.
#pragma once
#include <string>

namespace zor::test {

// Makes `link` a symbolic link to the folder `target`; true when the link now exists and
// carries the reparse-point attribute.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);

// Removes a link made by MakeFolderLink (never its target).
void RemoveFolderLink(const std::wstring& link);

} // namespace zor::test
