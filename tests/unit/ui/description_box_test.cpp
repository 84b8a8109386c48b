// The description box filled in a real Rich Edit 1.0 control: the lines in their order, also
// when the description is longer than the control takes by default.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "description_box.h"
#include "win_handles.h"

namespace zor {
namespace {

class RichEditBox {
public:
    RichEditBox() : library_(::LoadLibraryW(L"riched32.dll")) {
        box_ = ::CreateWindowExW(0, L"RICHEDIT", L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0,
                                 300, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~RichEditBox() {
        if (box_)
            ::DestroyWindow(box_);
    }
    RichEditBox(const RichEditBox&) = delete;
    RichEditBox& operator=(const RichEditBox&) = delete;
    HWND get() const { return box_; }

    std::wstring Text() const {
        const int length = ::GetWindowTextLengthW(box_);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int copied = ::GetWindowTextW(box_, &text[0], length + 1);
        text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
        return text;
    }

private:
    ModuleHandle library_;
    HWND box_ = nullptr;
};

std::wstring Repeated(const std::wstring& piece, int times) {
    std::wstring text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST(DescriptionBoxTest, LinesInOrderWhateverTheDescriptionLength) {
    struct Case {
        const char* what;
        std::wstring description;
        std::wstring configured;
    } cases[] = {
        {"short, configured", L"Installs the driver.", L"Last Configured: 3/4/2021, 2:05:06 PM"},
        // Beyond the control's default limit of 32,767 characters, which Windows applies to
        // the lines inserted before the description.
        {"long", Repeated(L"Supports every storage adapter of the family. ", 800), L""},
    };
    for (const Case& c : cases) {
        RichEditBox box;
        ASSERT_NE(box.get(), nullptr) << c.what;
        DescriptionLines lines;
        lines.name = L"Sample Driver";
        lines.versionLine = L"Version: 2.5.1.0";
        lines.configuredLine = c.configured;
        lines.description = c.description;
        FillDescriptionBox(box.get(), lines, L"Arial");
        const std::wstring expected = L"Sample Driver\r\nVersion: 2.5.1.0\r\n" +
                                      (c.configured.empty() ? L"" : c.configured + L"\r\n") +
                                      L"\r\n" + c.description;
        EXPECT_EQ(box.Text(), expected) << c.what;
    }
}

} // namespace
} // namespace zor
