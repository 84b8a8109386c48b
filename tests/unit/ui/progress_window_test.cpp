// The Extraction Progress window: centred over its owner, and a bar that shows the share of
// members already written.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include "progress_window.h"
#include "zip_file.h"

namespace zor {
namespace {

// A plain top-level window to own the progress window.
class OwnerWindow {
public:
    OwnerWindow(int left, int top, int width, int height) {
        window_ = ::CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, left, top, width,
                                    height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~OwnerWindow() {
        if (window_)
            ::DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

class ProgressWindow {
public:
    explicit ProgressWindow(HWND owner) : window_(CreateProgressWindow(owner)) {}
    ~ProgressWindow() {
        if (window_)
            ::DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_;
};

int Position(HWND bar) {
    return static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
}

TEST(ProgressWindowTest, CentredOverItsOwnerAndVisible) {
    OwnerWindow owner(100, 80, 600, 400);
    ASSERT_NE(owner.get(), nullptr);
    ProgressWindow progress(owner.get());
    ASSERT_NE(progress.get(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(progress.get()));
    EXPECT_EQ(::GetWindow(progress.get(), GW_OWNER), owner.get());
    RECT rect = {};
    ::GetWindowRect(progress.get(), &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    EXPECT_EQ(rect.left, 100 + (600 - width) / 2);
    EXPECT_EQ(rect.top, 80 + (400 - height) / 2);
    EXPECT_NE(ProgressBarOf(progress.get()), nullptr);
}

TEST(ProgressWindowTest, BarShowsTheShareOfMembersAlreadyWritten) {
    ProgressWindow progress(nullptr);
    HWND bar = ProgressBarOf(progress.get());
    ASSERT_NE(bar, nullptr);
    struct Step {
        int64_t index, total;
        int position;
    } steps[] = {{1, 7, 0},  {2, 7, 14},     {7, 7, 85}, {1, 1, 0},
                 {3, 3, 66}, {219, 219, 99}, {9, 3, 100}}; // an index past the end never overshoots
    for (const Step& step : steps) {
        vozoru::ExtractProgress record{step.index, step.total, L"C:\\x\\member"};
        EXPECT_TRUE(ExtractProgressCallback(bar, &record));
        EXPECT_EQ(Position(bar), step.position) << step.index << "/" << step.total;
    }
    // Nothing to show: the bar keeps its position and extraction goes on.
    vozoru::ExtractProgress empty{1, 0, L""};
    EXPECT_TRUE(ExtractProgressCallback(bar, &empty));
    EXPECT_EQ(Position(bar), 100);
    EXPECT_TRUE(ExtractProgressCallback(nullptr, &empty));
    EXPECT_TRUE(ExtractProgressCallback(bar, nullptr));
}

// Extraction keeps the thread busy, so the callback paints the window itself; it hands out
// paint messages only, leaving everything else (a key, a posted command) for later.
TEST(ProgressWindowTest, CallbackPaintsTheWindowAndLeavesOtherMessagesQueued) {
    ProgressWindow progress(nullptr);
    HWND bar = ProgressBarOf(progress.get());
    ASSERT_NE(bar, nullptr);
    MSG message = {};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
    ::InvalidateRect(progress.get(), nullptr, TRUE);
    constexpr UINT kPosted = WM_APP + 7;
    ASSERT_TRUE(::PostMessageW(progress.get(), kPosted, 0, 0));
    ASSERT_TRUE(::PostMessageW(progress.get(), WM_KEYDOWN, VK_RETURN, 0));

    vozoru::ExtractProgress record{2, 4, L"C:\\x\\member"};
    EXPECT_TRUE(ExtractProgressCallback(bar, &record));

    EXPECT_EQ(Position(bar), 25);
    EXPECT_FALSE(::GetUpdateRect(bar, nullptr, FALSE));
    EXPECT_FALSE(::GetUpdateRect(progress.get(), nullptr, FALSE));
    EXPECT_TRUE(::PeekMessageW(&message, progress.get(), kPosted, kPosted, PM_REMOVE));
    EXPECT_TRUE(::PeekMessageW(&message, progress.get(), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
}

} // namespace
} // namespace zor
