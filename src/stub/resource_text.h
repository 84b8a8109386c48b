// Loads the launcher's strings and dialogs in the language chosen at start-up. The language
// is picked explicitly instead of relying on the thread's UI language, so that the launcher
// shows the same language as the package texts it looks up.
#pragma once
#include <windows.h>

#include <string>

namespace zor {

// The resource language used by every load below (English until set).
void SetResourceLanguage(LANGID language);
LANGID GetResourceLanguage();

// Loads string `id` in the chosen language, falling back to English; empty when missing.
// At most `maxLength` characters are kept.
std::wstring LoadLocalizedString(UINT id, size_t maxLength = 32768);

// The English text of string `id`: log files are always written in English.
std::wstring LoadEnglishString(UINT id);

// Modal and modeless dialogs from the template in the chosen language (English fallback).
// Results as DialogBoxParamW and CreateDialogParamW.
INT_PTR ShowLocalizedDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter);
HWND CreateLocalizedDialog(UINT id, HWND owner, DLGPROC procedure, LPARAM parameter);

} // namespace zor
