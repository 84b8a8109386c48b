// The Extraction Progress window that the install sequence shows while it extracts the
// package, and the extraction callback that moves its bar.
#pragma once
#include <windows.h>

namespace vozoru {
struct ExtractProgress;
}

namespace zor {

// Creates the modeless progress window owned by `owner` (may be null), centred over the
// owner (over the desktop without one) and shown. Null when it cannot be created. The caller
// destroys it with DestroyWindow.
HWND CreateProgressWindow(HWND owner);

// The progress bar (control 1011) of a window made by CreateProgressWindow.
HWND ProgressBarOf(HWND progressWindow);

// The archive reader's callback; `userValue` is the progress bar (may be null). Before entry
// `index` of `total` (counting from 1) the bar shows the share of entries already written:
// 0 before the first, 100 x (n - 1) / n before the last of n. Never stops the extraction.
bool ExtractProgressCallback(void* userValue, const vozoru::ExtractProgress* progress);

} // namespace zor
