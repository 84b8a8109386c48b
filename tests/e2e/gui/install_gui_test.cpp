// Install from the main dialog: the license first when the package has one, then the real
// install run with the fake setup utility, the restart question when it asks for a restart,
// and a launcher that ends by itself with the run's result.
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

constexpr int kInstall = 1002;
constexpr DWORD kRunWait = 90000;

// Sets an environment variable that the launcher and its setup utility inherit, and removes it
// at the end of the test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
        ::SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnvironment() { ::SetEnvironmentVariableW(name_, nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const wchar_t* name_;
};

// The folder the fake setup utility ran in (second line of its UTF-16 record); empty when it
// did not run.
std::wstring SetupFolder(const std::wstring& record) {
    std::vector<unsigned char> bytes;
    if (!ReadFileBytes(record, bytes))
        return std::wstring();
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()),
                            bytes.size() / sizeof(wchar_t));
    const size_t first = text.find(L'\n');
    const size_t second = first == std::wstring::npos ? first : text.find(L'\n', first + 1);
    return second == std::wstring::npos ? std::wstring()
                                        : text.substr(first + 1, second - first - 1);
}

TEST(InstallGuiTest, InstallRunsTheSetupUtilityAndEndsWithItsResult) {
    const std::wstring question = L"Do you want to reboot your system now?";
    struct Case {
        const wchar_t* file;
        std::string license; // empty: the package has none
        int setupExit;
        bool restartQuestion;
        long exitCode;
    } cases[] = {
        {L"plain.exe", "", 1, false, 1},
        // Answering No to the restart question keeps result 2 and restarts nothing.
        {L"licensed.exe", "Terms\n", 2, true, 2},
    };
    TempFolder work(L"ug");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        GuiPackage package;
        package.runnableSetup = true;
        package.license = c.license;
        const std::wstring path = BuildGuiPackage(work.path(), c.file, package);
        ASSERT_FALSE(path.empty());
        const std::wstring record = work / (std::wstring(c.file) + L".record");
        ScopedEnvironment recordFile(L"ZOR_FAKE_SETUP_RECORD", record);
        ScopedEnvironment setupExit(L"ZOR_FAKE_SETUP_EXIT", std::to_wstring(c.setupExit));

        LauncherSession launcher(path);
        ASSERT_NE(launcher.dialog(), nullptr);
        ASSERT_TRUE(launcher.Press(kInstall));
        if (!c.license.empty()) {
            HWND license =
                WaitForProcessWindowWithCaption(launcher.pid(), L"License Agreement", kWindowWait);
            ASSERT_NE(license, nullptr);
            PressButton(license, IDOK);
        }
        if (c.restartQuestion) {
            HWND box =
                WaitForProcessWindowWithCaption(launcher.pid(), L"Reboot Confirmation", kRunWait);
            ASSERT_NE(box, nullptr);
            EXPECT_NE(DescribeWindow(box).StaticTexts().find(question), std::wstring::npos);
            // The extraction is over: its progress window is gone.
            EXPECT_EQ(WaitForProcessWindowWithCaption(launcher.pid(), L"Extraction Progress", 1),
                      nullptr);
            ::Sleep(500); // let the question paint itself for the screenshot
            SaveScreenshot(ScreenshotPath(L"restart_question_en.png"));
            PressButton(box, IDNO);
        }
        // A window left open would keep the launcher waiting (Wait gives -1 then).
        EXPECT_EQ(launcher.Wait(kRunWait), c.exitCode);
        const std::wstring folder = SetupFolder(record);
        EXPECT_FALSE(folder.empty()) << "the setup utility did not run";
        EXPECT_FALSE(PathExists(folder)) << "extraction folder left behind: " << folder.c_str();
    }
}

} // namespace
} // namespace zor::test
