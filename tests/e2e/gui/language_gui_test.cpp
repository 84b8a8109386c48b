// The launcher started on a Japanese and on a Chinese (Simplified) system shows its main
// dialog in that language, and the English-only License Agreement still appears.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>

#include "gui_package.h"
#include "gui_session.h"
#include "host_shell.h"
#include "temp_folder.h"

namespace zor::test {
namespace {

constexpr int kPrompt = 1001, kInstall = 1002, kExtract = 1003, kClose = 1004, kBox = 1006;

// Non-ASCII characters as \\u escapes, for failure messages on a console that cannot show them.
std::string Escaped(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            result += static_cast<char>(c);
        } else {
            static const char kDigits[] = "0123456789ABCDEF";
            result += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                result += kDigits[(c >> shift) & 0xF];
        }
    }
    return result;
}

struct Language {
    const char* locale;
    const wchar_t* screenshot;
    const wchar_t* caption;
    const wchar_t* install;
    const wchar_t* extract;
    const wchar_t* close;
    const wchar_t* name;
    const wchar_t* versionLabel;
    const wchar_t* promptStart;
};

const Language kLanguages[] = {
    {"ja_JP.UTF-8", L"main_ja.png", L"Arvex パッケージ セットアップ", L"インストール(&I)",
     L"展開(&E)...", L"閉じる(&C)", kPackageNameJa, L"バージョン: ",
     L"Arvex セットアップでこのパッケージの内容をインストールする準備ができました。"},
    {"zh_CN.UTF-8", L"main_zh.png", L"Arvex 程序包安装程序", L"安装(&I)", L"解压(&E)...",
     L"关闭(&C)", kPackageNameZh, L"版本: ", L"Arvex 安装程序已准备好安装此程序包的内容。"},
};

void PrintTo(const Language& language, std::ostream* out) {
    *out << language.locale;
}

class LanguageTest : public ::testing::TestWithParam<Language> {
protected:
    TempFolder work{L"ul"};
};

TEST_P(LanguageTest, MainDialogSpeaksTheSystemLanguage) {
    const Language& language = GetParam();
    GuiPackage package;
    package.license = "Terms\n";
    const std::wstring path = BuildGuiPackage(work.path(), L"pkg.exe", package);
    ASSERT_FALSE(path.empty());
    LocaleProcess launcher(work.path(), path, L"", language.locale);
    ASSERT_TRUE(launcher.started());
    HWND dialog = WaitForProcessWindowWithCaption(0, language.caption, kWindowWait);
    if (!dialog) {
        // Shown in another language: close it so that the launcher does not outlive the test.
        if (HWND other = WaitForProcessWindowWithCaption(0, kCaption, 1000))
            ::PostMessageW(other, WM_CLOSE, 0, 0);
        launcher.Wait(kWindowWait);
    }
    ASSERT_NE(dialog, nullptr);

    const WindowInfo info = DescribeWindow(dialog);
    EXPECT_EQ(info.Control(kInstall)->text, language.install);
    EXPECT_EQ(info.Control(kExtract)->text, language.extract);
    EXPECT_EQ(info.Control(kClose)->text, language.close);
    EXPECT_EQ(info.Control(kPrompt)->text.rfind(language.promptStart, 0), 0u)
        << Escaped(info.Control(kPrompt)->text);
    const std::wstring box = info.Control(kBox)->text;
    EXPECT_EQ(box.rfind(std::wstring(language.name) + L"\r\n" + language.versionLabel +
                            kPackageVersion + L"\r\n",
                        0),
              0u)
        << Escaped(box);
    SaveScreenshot(ScreenshotPath(language.screenshot));

    // The license dialog exists in English only and is used for every language.
    PressButton(dialog, kExtract);
    HWND license = WaitForProcessWindowWithCaption(0, L"License Agreement", kWindowWait);
    ASSERT_NE(license, nullptr);
    PressButton(license, IDCANCEL);
    for (int i = 0; i < 100 && ::IsWindow(license); ++i)
        ::Sleep(50);
    PressButton(dialog, kClose);
    EXPECT_EQ(launcher.Wait(), 3);
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<Language>& info) {
                             return std::string(info.param.locale).substr(0, 2);
                         });

} // namespace
} // namespace zor::test
