// The launcher's main dialog: presents the package and offers Install, Extract... and Close,
// with the package contents in its system menu.
#pragma once

namespace zor {

// Shows the main dialog modally over the desktop window (the tall form when `large`) and
// leaves the outcome in the run result.
void ShowMainDialog(bool large);

} // namespace zor
