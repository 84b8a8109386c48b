// Installations with "/noprompt": the same sequence as a silent one, but its message boxes are
// shown. A person's answer is given through the window driver.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "install_fixture.h"
#include "process_runner.h"
#include "window_driver.h"

namespace zor::test {
namespace {

constexpr DWORD kWindowWait = 30000;
const wchar_t kCaption[] = L"Arvex Package Setup";

class NoPromptTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveLogs(); }

    // Starts the package, waits for the message box with `caption`, checks that its text
    // contains `text`, answers with `button` and returns the launcher's exit code.
    long AnswerMessage(const std::wstring& arguments, long setupExit, const wchar_t* caption,
                       const std::wstring& text, int button) {
        const std::wstring record = fixture.work() / L"record.txt";
        ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_RECORD", record.c_str());
        ::SetEnvironmentVariableW(L"ZOR_FAKE_SETUP_EXIT", std::to_wstring(setupExit).c_str());
        ChildProcess launcher(Quote(package) + L" " + arguments);
        EXPECT_TRUE(launcher.started());
        HWND box = WaitForProcessWindowWithCaption(launcher.pid(), caption, kWindowWait);
        EXPECT_NE(box, nullptr) << "no message box";
        if (box) {
            const WindowInfo info = DescribeWindow(box);
            EXPECT_NE(info.StaticTexts().find(text), std::wstring::npos) << info.StaticTexts();
            EXPECT_TRUE(PressButton(box, button));
        }
        return launcher.Wait(90000);
    }

    InstallFixture fixture;
    std::wstring package;
};

TEST_F(NoPromptTest, SetupUtilityThatCannotStartIsReported) {
    fixture.command = "missing.exe";
    package = fixture.Build();
    EXPECT_EQ(AnswerMessage(L"/noprompt", 1, kCaption,
                            L"Arvex Package Setup was unable to start the installation program - "
                            L"missing.exe.  Installation will not continue.",
                            IDOK),
              0);
}

TEST_F(NoPromptTest, ExtractionFailureIsReported) {
    package = fixture.Build();
    // A relative extraction folder cannot be extracted into.
    EXPECT_EQ(AnswerMessage(L"/noprompt /instpath:relative_folder", 1, kCaption,
                            L"Arvex Package Setup was unable to extract the package properly.", IDOK),
              0);
    EXPECT_FALSE(fixture.Record().present);
}

TEST_F(NoPromptTest, RestartQuestionAnswerDecidesTheRebootFlag) {
    package = fixture.Build();
    const std::wstring question =
        L"A reboot is required to finish the installation completely.\r\n\r\nDo you want to "
        L"reboot your system now?";
    // Answering No keeps the result; the flag is cleared even though "/reboot" was given.
    EXPECT_EQ(AnswerMessage(L"/noprompt /reboot", 2, L"Reboot Confirmation", question, IDNO), 2);
    EXPECT_EQ(AnswerMessage(L"/noprompt", 2, L"Reboot Confirmation", question, IDYES), 2);
}

TEST_F(NoPromptTest, StoppedWmiServiceIsReported) {
    package = fixture.Build();
    long exitCode = -1;
    {
        StoppedWmiService wmi;
        ASSERT_TRUE(wmi.stopped());
        exitCode = AnswerMessage(L"/noprompt", 1, kCaption,
                                 L"Windows Management Instrumentation (WMI) is not installed or "
                                 L"has been disabled.",
                                 IDOK);
    }
    EXPECT_EQ(exitCode, 0);
}

} // namespace
} // namespace zor::test
