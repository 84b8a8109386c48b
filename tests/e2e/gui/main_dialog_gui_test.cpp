// The main dialog of the real launcher: what the description box says and how, which buttons
// each combination of the package's switches offers, the tall form, the focus that never stays
// in the description box, and the exit codes of closing it.
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

constexpr int kPrompt = 1001, kInstall = 1002, kExtract = 1003, kClose = 1004, kIcon = 1005,
              kBox = 1006;

const wchar_t kPromptBoth[] =
    L"Arvex Setup is ready to install the contents of this package.  Press 'Install' to run the "
    L"installation program or press 'Extract...' to only extract the files.";
const wchar_t kPromptInstall[] =
    L"Arvex Setup is ready to install the contents of this package.  Press 'Install' to run the "
    L"installation program or press 'Close' to exit.";
const wchar_t kPromptExtract[] =
    L"Press the 'Extract' button to save the package contents in a folder on your computer, or "
    L"choose 'Close' to exit.";

class MainDialogTest : public ::testing::Test {
protected:
    TempFolder work{L"ui"};
    std::wstring Build(const GuiPackage& package, const wchar_t* name = L"pkg.exe") {
        const std::wstring path = BuildGuiPackage(work.path(), name, package);
        EXPECT_FALSE(path.empty());
        return path;
    }
};

std::wstring Lines(std::initializer_list<std::wstring> lines) {
    std::wstring text;
    for (const std::wstring& line : lines)
        text += (text.empty() ? L"" : L"\r\n") + line;
    return text;
}

TEST_F(MainDialogTest, DescriptionBoxPresentsThePackage) {
    GuiPackage package;
    package.configUi = true;
    LauncherSession launcher(Build(package));
    ASSERT_NE(launcher.dialog(), nullptr);
    const WindowInfo info = launcher.Describe();
    EXPECT_EQ(info.caption, kCaption);
    ASSERT_NE(info.Control(kIcon), nullptr);
    EXPECT_NE(info.Control(kIcon)->icon, nullptr);
    ASSERT_NE(info.Control(kBox), nullptr);
    EXPECT_EQ(info.Control(kBox)->className, L"RICHEDIT");

    // The configuration member was written on 4 March 2021 at 14:05:06 local time; the box shows
    // it in the user's (English, United States) formats.
    EXPECT_EQ(launcher.Description(),
              Lines({kPackageName, std::wstring(L"Version: ") + kPackageVersion,
                     L"Last Configured: 3/4/2021, 2:05:06 PM", L"", kPackageDescription}));
    SaveScreenshot(ScreenshotPath(L"main_en.png"));

    HWND box = ::GetDlgItem(launcher.dialog(), kBox);
    const long nameLength = static_cast<long>(std::wstring(kPackageName).size());
    const CharacterFormat name = ReadRichEditFormat(box, 0, nameLength);
    ASSERT_TRUE(name.valid);
    EXPECT_TRUE(name.boldUniform && name.bold);
    EXPECT_TRUE(name.heightUniform);
    EXPECT_EQ(name.heightTwips, 220);
    const CharacterFormat rest = ReadRichEditFormat(box, nameLength + 2, -1);
    EXPECT_TRUE(rest.boldUniform && !rest.bold);
    const CharacterFormat all = ReadRichEditFormat(box, 0, -1);
    EXPECT_TRUE(all.faceUniform);
    EXPECT_EQ(all.face, L"Arial");

    EXPECT_TRUE(launcher.Press(kClose));
    EXPECT_EQ(launcher.Wait(), 3);
}

TEST_F(MainDialogTest, LastConfiguredNeedsConfigurationUiAndItsMember) {
    const std::wstring expected = Lines(
        {kPackageName, std::wstring(L"Version: ") + kPackageVersion, L"", kPackageDescription});
    struct Case {
        const wchar_t* file;
        bool configUi;
        bool member;
    } cases[] = {{L"noui.exe", false, true}, {L"nomember.exe", true, false}};
    for (const Case& c : cases) {
        GuiPackage package;
        package.configUi = c.configUi;
        package.configMember = c.member;
        LauncherSession launcher(Build(package, c.file));
        ASSERT_NE(launcher.dialog(), nullptr) << c.file;
        EXPECT_EQ(launcher.Description(), expected) << c.file;
        launcher.Press(kClose);
        EXPECT_EQ(launcher.Wait(), 3) << c.file;
    }
}

TEST_F(MainDialogTest, ButtonsFollowThePackageSwitches) {
    using Settings = std::vector<std::pair<std::wstring, std::wstring>>;
    const Settings noInstall = {{L"DISABLE_INSTALL_BUTTON", L"1"}};
    const Settings noExtract = {{L"DISABLE_EXTRACT_BUTTON", L"1"}};
    const Settings neither = {{L"DISABLE_EXTRACT_BUTTON", L"1"}, {L"DISABLE_INSTALL_BUTTON", L"1"}};
    // Only exactly "1" switches a button off.
    const Settings notOne = {{L"DISABLE_EXTRACT_BUTTON", L"true"},
                             {L"DISABLE_INSTALL_BUTTON", L" 1"}};
    struct Case {
        const wchar_t* file;
        Settings settings;
        bool installCommand;
        bool install; // offered
        bool extract;
        int defaultAndFocus;
        const wchar_t* prompt;
    } cases[] = {
        {L"both.exe", {}, true, true, true, kInstall, kPromptBoth},
        {L"noinst.exe", noInstall, true, false, true, kExtract, kPromptExtract},
        {L"noext.exe", noExtract, true, true, false, kInstall, kPromptInstall},
        {L"none.exe", neither, true, false, true, kExtract, kPromptExtract},
        {L"nocmd.exe", {}, false, false, true, kExtract, kPromptExtract},
        {L"notone.exe", notOne, true, true, true, kInstall, kPromptBoth},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        GuiPackage package;
        package.settings = c.settings;
        package.installCommand = c.installCommand;
        LauncherSession launcher(Build(package, c.file));
        ASSERT_NE(launcher.dialog(), nullptr);
        const WindowInfo info = launcher.Describe();
        const ControlInfo* install = info.Control(kInstall);
        const ControlInfo* extract = info.Control(kExtract);
        ASSERT_TRUE(install && extract && info.Control(kPrompt));
        EXPECT_EQ(install->visible, c.install);
        EXPECT_EQ(install->enabled, c.install);
        EXPECT_EQ(extract->visible, c.extract);
        EXPECT_EQ(extract->enabled, c.extract);
        EXPECT_EQ(info.Control(kPrompt)->text, c.prompt);
        EXPECT_EQ(DefaultButtonOf(launcher.dialog()), c.defaultAndFocus);
        const ControlInfo* chosen = info.Control(c.defaultAndFocus);
        EXPECT_EQ(chosen->style & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON));
        EXPECT_EQ(FocusedWindowOf(launcher.dialog()),
                  ::GetDlgItem(launcher.dialog(), c.defaultAndFocus));
        if (!c.install) {
            // Extract... takes the place of the hidden Install button.
            EXPECT_EQ(extract->rect.left, install->rect.left);
            EXPECT_EQ(extract->rect.top, install->rect.top);
        } else if (c.extract) {
            EXPECT_GT(extract->rect.top, install->rect.top);
        }
        launcher.Press(kClose);
        EXPECT_EQ(launcher.Wait(), 3);
    }
}

TEST_F(MainDialogTest, LargeWindowShowsTheSameContentInATallerBox) {
    GuiPackage small;
    GuiPackage large;
    large.settings = {{L"LARGE_WINDOW", L"1"}};
    LauncherSession normal(Build(small, L"small.exe"));
    ASSERT_NE(normal.dialog(), nullptr);
    const RECT normalBox = normal.Describe().Control(kBox)->rect;
    const std::wstring normalText = normal.Description();
    normal.Press(kClose);
    EXPECT_EQ(normal.Wait(), 3);

    LauncherSession tall(Build(large, L"large.exe"));
    ASSERT_NE(tall.dialog(), nullptr);
    const WindowInfo info = tall.Describe();
    const RECT tallBox = info.Control(kBox)->rect;
    EXPECT_EQ(tall.Description(), normalText);
    EXPECT_EQ(tallBox.top, normalBox.top);
    EXPECT_EQ(tallBox.right - tallBox.left, normalBox.right - normalBox.left);
    // 162 dialog units instead of 66.
    const double ratio =
        static_cast<double>(tallBox.bottom - tallBox.top) / (normalBox.bottom - normalBox.top);
    EXPECT_NEAR(ratio, 162.0 / 66.0, 0.1);
    SaveScreenshot(ScreenshotPath(L"main_large_en.png"));
    tall.Press(kClose);
    EXPECT_EQ(tall.Wait(), 3);
}

TEST_F(MainDialogTest, ClickingTheDescriptionLeavesTheFocusOnTheButton) {
    LauncherSession launcher(Build(GuiPackage()));
    ASSERT_NE(launcher.dialog(), nullptr);
    HWND box = ::GetDlgItem(launcher.dialog(), kBox);
    HWND install = ::GetDlgItem(launcher.dialog(), kInstall);
    ASSERT_EQ(FocusedWindowOf(launcher.dialog()), install);
    ::PostMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ::PostMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    ::Sleep(500);
    EXPECT_EQ(FocusedWindowOf(launcher.dialog()), install);
    launcher.Press(kClose);
    EXPECT_EQ(launcher.Wait(), 3);
}

TEST_F(MainDialogTest, ClosingGivesThreeOrTheDosConvention) {
    const std::wstring package = Build(GuiPackage());
    struct Case {
        const wchar_t* arguments;
        bool closeButton; // else the window's own close command
        long exitCode;
    } cases[] = {{L"", true, 3}, {L"", false, 3}, {L"/dosretcode", true, 0}};
    for (const Case& c : cases) {
        LauncherSession launcher(package, c.arguments);
        ASSERT_NE(launcher.dialog(), nullptr) << c.arguments;
        if (c.closeButton)
            launcher.Press(kClose);
        else
            ::PostMessageW(launcher.dialog(), WM_CLOSE, 0, 0);
        EXPECT_EQ(launcher.Wait(), c.exitCode) << c.arguments;
    }
}

} // namespace
} // namespace zor::test
