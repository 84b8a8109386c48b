#include "show_message.h"

#include <string>

#include "resource_text.h"

namespace zor {

int ShowMessage(HWND owner, UINT textId, UINT captionId, UINT flags) {
    const std::wstring text = LoadLocalizedString(textId);
    return ShowMessageText(owner, text.c_str(), captionId, flags);
}

int ShowMessageText(HWND owner, const wchar_t* text, UINT captionId, UINT flags) {
    const std::wstring caption = LoadLocalizedString(captionId);
    return ::MessageBoxW(owner, text, caption.c_str(), flags);
}

} // namespace zor
