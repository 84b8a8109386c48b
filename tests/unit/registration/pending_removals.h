// Reads and tidies the removals the system will carry out at the next restart
// ("PendingFileRenameOperations"), so that tests can see what was scheduled and leave the
// machine's list as they found it.
#pragma once
#include <string>
#include <vector>

namespace zor::test {

// Paths scheduled for deletion at the next restart, without the "\??\" prefix.
std::vector<std::wstring> PendingDeletions();

bool IsPendingDeletion(const std::wstring& path);

// Drops every scheduled operation whose source lies under `folder`.
void ForgetPendingOperationsUnder(const std::wstring& folder);

} // namespace zor::test
