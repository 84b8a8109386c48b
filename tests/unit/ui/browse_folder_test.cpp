// The folder browser for Extract...: hands back the chosen folder, or nothing when cancelled
// or when the folder does not fit the caller's buffer.
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "browse_folder.h"
#include "window_driver.h"

namespace zor {
namespace {

// Presses `button` in the browser once it is on screen; runs beside the browsing thread.
class BrowserAnswer {
public:
    explicit BrowserAnswer(int button)
        : thread_([button] {
              HWND browser = test::WaitForProcessWindow(::GetCurrentProcessId(), 20000);
              if (browser) {
                  ::Sleep(500); // let the browser select its starting folder
                  test::PressButton(browser, button);
              }
          }) {}
    ~BrowserAnswer() { thread_.join(); }

private:
    std::thread thread_;
};

// The browser is asked to start at the program's folder; under Wine it reaches only part of a
// deep path, so the end-to-end test (launcher in a folder below the drive root) checks the
// starting folder, and this one that OK hands back a real folder.
TEST(BrowseFolderTest, OkHandsBackAnExistingFolder) {
    wchar_t path[MAX_PATH + 1] = {};
    bool chosen = false;
    {
        BrowserAnswer answer(IDOK);
        chosen = BrowseForExtractFolder(nullptr, path, MAX_PATH + 1);
    }
    ASSERT_TRUE(chosen);
    const DWORD attributes = ::GetFileAttributesW(path);
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << path;
}

TEST(BrowseFolderTest, CancelAndTooSmallBuffersGiveNothing) {
    wchar_t path[MAX_PATH + 1] = L"untouched";
    {
        BrowserAnswer answer(IDCANCEL);
        EXPECT_FALSE(BrowseForExtractFolder(nullptr, path, MAX_PATH + 1));
    }
    EXPECT_EQ(path[0], L'\0');

    // Too small for any folder, even a drive root ("Z:\" and its terminator need 4): where the
    // browser starts depends on where the tests run.
    wchar_t small[3] = L"ab";
    {
        BrowserAnswer answer(IDOK);
        EXPECT_FALSE(BrowseForExtractFolder(nullptr, small, 3));
    }
    EXPECT_EQ(small[0], L'\0');
    EXPECT_FALSE(BrowseForExtractFolder(nullptr, nullptr, 10));
}

} // namespace
} // namespace zor
