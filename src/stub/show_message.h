// Message boxes of the launcher, with texts from its string table.
#pragma once
#include <windows.h>

namespace zor {

// Caption of every launcher message box: string 1.
constexpr UINT kMessageCaptionId = 1;

// Shows string `textId` with caption string `captionId`; returns the message box's answer.
int ShowMessage(HWND owner, UINT textId, UINT captionId, UINT flags);

// Shows an already formatted text with a caption from the string table.
int ShowMessageText(HWND owner, const wchar_t* text, UINT captionId, UINT flags);

} // namespace zor
