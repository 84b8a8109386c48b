// The Package Contents list reached from the system menu, the License Agreement shown before
// installing or extracting, and Extract... through the folder browser.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "gui_package.h"
#include "gui_session.h"
#include "host_shell.h"
#include "temp_folder.h"

namespace zor::test {
namespace {

constexpr int kInstall = 1002, kExtract = 1003, kClose = 1004, kList = 1008, kLicenseText = 1012;
constexpr WPARAM kViewContents = 0xFF0;

class ContentsLicenseTest : public ::testing::Test {
protected:
    TempFolder work{L"uc"};
    std::wstring Build(const GuiPackage& package, const wchar_t* name = L"pkg.exe") {
        const std::wstring path = BuildGuiPackage(work.path(), name, package);
        EXPECT_FALSE(path.empty());
        return path;
    }
};

RECT WindowRect(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}

void Resize(HWND window, int width, int height) {
    ::SetWindowPos(window, nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Opens the system menu with the keyboard and types the View Contents mnemonic; true when the
// contents list appeared.
bool ChooseViewContentsFromMenu(const LauncherSession& launcher) {
    ::PostMessageW(launcher.dialog(), WM_SYSCOMMAND, SC_KEYMENU, L' ');
    ::Sleep(500);
    ::PostMessageW(launcher.dialog(), WM_CHAR, L'v', 0);
    HWND contents = WaitForProcessWindowWithCaption(launcher.pid(), L"Package Contents", 3000);
    if (contents) {
        ::PostMessageW(contents, WM_CLOSE, 0, 0);
        return true;
    }
    ::PostMessageW(launcher.dialog(), WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(launcher.dialog(), WM_KEYDOWN, VK_ESCAPE, 0);
    ::Sleep(300);
    return false;
}

TEST_F(ContentsLicenseTest, ContentsListsEveryMemberInArchiveOrder) {
    GuiPackage package;
    package.configUi = true;
    // Byte order puts the upper-case name first; a list sorting by itself would not.
    package.namedMembers = {L"B_upper.txt", L"a_lower.txt"};
    // With fake_setup.exe, pkg.xml, vx_data.xml and settings.cfg: 219 members.
    package.fillerMembers = 213;
    LauncherSession launcher(Build(package));
    ASSERT_NE(launcher.dialog(), nullptr);
    ::PostMessageW(launcher.dialog(), WM_SYSCOMMAND, kViewContents, 0);
    HWND contents =
        WaitForProcessWindowWithCaption(launcher.pid(), L"Package Contents", kWindowWait);
    ASSERT_NE(contents, nullptr);
    HWND list = ::GetDlgItem(contents, kList);
    ASSERT_NE(list, nullptr);

    const auto rows = ReadListViewRows(list, 4);
    ASSERT_EQ(rows.size(), 219u);
    EXPECT_EQ(rows[0][0], L"B_upper.txt");
    EXPECT_EQ(rows[1][0], L"a_lower.txt");
    EXPECT_EQ(rows[2][0], L"fake_setup.exe");
    EXPECT_EQ(rows[3][0], L"m000.txt");
    EXPECT_EQ(rows[3][3], L"0");
    EXPECT_EQ(rows[126][0], L"m123.txt");
    EXPECT_EQ(rows[126][3], L"123");
    EXPECT_EQ(rows[216][0], L"pkg.xml");
    EXPECT_EQ(rows[217][0], L"settings.cfg");
    EXPECT_EQ(rows[217][1], L"3/4/2021");
    EXPECT_EQ(rows[217][2], L"2:05:06 PM");
    EXPECT_EQ(rows[217][3], L"11");
    EXPECT_EQ(rows[218][0], L"vx_data.xml");
    SaveScreenshot(ScreenshotPath(L"contents_en.png"));

    // Opens at 400 x 200 pixels, never gets smaller, and the list fills whatever it has.
    RECT rect = WindowRect(contents);
    EXPECT_EQ(rect.right - rect.left, 400);
    EXPECT_EQ(rect.bottom - rect.top, 200);
    Resize(contents, 300, 120);
    rect = WindowRect(contents);
    EXPECT_GE(rect.right - rect.left, 400);
    EXPECT_GE(rect.bottom - rect.top, 200);
    Resize(contents, 640, 420);
    RECT client = {};
    ::GetClientRect(contents, &client);
    const ControlInfo* listInfo = DescribeWindow(contents).Control(kList);
    ASSERT_NE(listInfo, nullptr);
    EXPECT_EQ(listInfo->rect.left, 0);
    EXPECT_EQ(listInfo->rect.top, 0);
    EXPECT_EQ(listInfo->rect.right, client.right);
    EXPECT_EQ(listInfo->rect.bottom, client.bottom);

    // Closing the list leaves the main dialog up.
    ::PostMessageW(contents, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100 && ::IsWindow(contents); ++i)
        ::Sleep(50);
    EXPECT_FALSE(::IsWindow(contents));
    EXPECT_TRUE(::IsWindowVisible(launcher.dialog()));
    launcher.Press(kClose);
    EXPECT_EQ(launcher.Wait(), 3);
}

TEST_F(ContentsLicenseTest, ViewContentsMenuEntryUnlessDisabled) {
    GuiPackage offered;
    GuiPackage disabled;
    disabled.settings = {{L"DISABLE_VIEW_CONTENTS", L"1"}};
    struct Case {
        const wchar_t* file;
        const GuiPackage* package;
        bool entry;
    } cases[] = {{L"menu.exe", &offered, true}, {L"nomenu.exe", &disabled, false}};
    for (const Case& c : cases) {
        LauncherSession launcher(Build(*c.package, c.file));
        ASSERT_NE(launcher.dialog(), nullptr) << c.file;
        EXPECT_EQ(ChooseViewContentsFromMenu(launcher), c.entry) << c.file;
        ::Sleep(300);
        launcher.Press(kClose);
        EXPECT_EQ(launcher.Wait(), 3) << c.file;
    }
}

TEST_F(ContentsLicenseTest, DecliningTheLicenseKeepsTheDialogAndClosingGivesThree) {
    GuiPackage package;
    package.license = "First line\nSecond line\r\nThird line\n";
    LauncherSession launcher(Build(package));
    ASSERT_NE(launcher.dialog(), nullptr);
    for (int button : {kInstall, kExtract}) {
        SCOPED_TRACE(button);
        launcher.Press(button);
        HWND license =
            WaitForProcessWindowWithCaption(launcher.pid(), L"License Agreement", kWindowWait);
        ASSERT_NE(license, nullptr);
        const WindowInfo info = DescribeWindow(license);
        ASSERT_NE(info.Control(kLicenseText), nullptr);
        EXPECT_EQ(info.Control(kLicenseText)->text, L"First line\r\nSecond line\r\nThird line\r\n");
        EXPECT_EQ(info.Control(IDOK)->text, L"Accept");
        EXPECT_EQ(info.Control(IDCANCEL)->text, L"Cancel");
        EXPECT_NE(info.StaticTexts().find(L"You must accept this license agreement to continue."),
                  std::wstring::npos);
        if (button == kInstall)
            SaveScreenshot(ScreenshotPath(L"license_en.png"));
        PressButton(license, IDCANCEL);
        for (int i = 0; i < 100 && ::IsWindow(license); ++i)
            ::Sleep(50);
        EXPECT_FALSE(::IsWindow(license));
        EXPECT_TRUE(::IsWindowVisible(launcher.dialog()));
    }
    launcher.Press(kClose);
    EXPECT_EQ(launcher.Wait(), 3);
}

// A folder right below the drive root: the browser under Wine finds its starting folder only
// along the drive's own path, not through the user-profile folders the temporary folder sits in.
class RootFolder {
public:
    RootFolder() : path_(L"C:\\zor_ui_" + std::to_wstring(::GetCurrentProcessId())) {
        MakeFolder(path_);
    }
    ~RootFolder() { RemoveTree(path_); }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
};

TEST_F(ContentsLicenseTest, ExtractAsksForAFolderStartingAtTheLauncherFolder) {
    GuiPackage package;
    package.license = "Terms\n";
    RootFolder root;
    const std::wstring path = BuildGuiPackage(root.path(), L"pkg.exe", package);
    ASSERT_FALSE(path.empty());
    LauncherSession launcher(path);
    ASSERT_NE(launcher.dialog(), nullptr);
    launcher.Press(kExtract);
    HWND license =
        WaitForProcessWindowWithCaption(launcher.pid(), L"License Agreement", kWindowWait);
    ASSERT_NE(license, nullptr);
    PressButton(license, IDOK);
    for (int i = 0; i < 100 && ::IsWindow(license); ++i)
        ::Sleep(50);

    HWND browser = WaitForOtherProcessWindow(launcher.pid(), launcher.dialog(), kWindowWait);
    ASSERT_NE(browser, nullptr);
    EXPECT_NE(DescribeWindow(browser).StaticTexts().find(
                  L"Select a folder to hold the extracted package contents."),
              std::wstring::npos);
    SaveScreenshot(ScreenshotPath(L"browse_en.png"));
    PressButton(browser, IDOK);

    // The browser started at the launcher's folder, so that is where the members go.
    const std::wstring extracted = root.path() + L"\\vx_data.xml";
    for (int i = 0; i < 200 && !PathExists(extracted); ++i)
        ::Sleep(100);
    EXPECT_TRUE(PathExists(extracted));
    EXPECT_TRUE(PathExists(root.path() + L"\\license.txt"));
    HWND still = WaitForProcessWindowWithCaption(launcher.pid(), kCaption, kWindowWait);
    if (still)
        launcher.Press(kClose);
    EXPECT_EQ(launcher.Wait(), 3);
}

} // namespace
} // namespace zor::test
