// Exit codes in both conventions, and the language mapping chosen at start-up.
#include <gtest/gtest.h>

#include "exit_code.h"
#include "language_code.h"

TEST(ExitCode, BothConventions) {
    const struct {
        int32_t runResult;
        int32_t plain;
        int32_t dos;
    } cases[] = {{0, 0, 1}, {1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {3010, 3010, 0}, {-1, -1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(zor::ExitCodeFor(c.runResult, false), c.plain) << c.runResult;
        EXPECT_EQ(zor::ExitCodeFor(c.runResult, true), c.dos) << c.runResult;
    }
}

TEST(LanguageCode, EnglishNamesMapToCodes) {
    const struct {
        const wchar_t* name;
        const wchar_t* code;
    } cases[] = {{L"French", L"fr"},  {L"SPANISH", L"es"}, {L"german", L"de"},
                 {L"Italian", L"it"}, {L"Japanese", L"ja"}, {L"Chinese", L"zh"},
                 {L"English", L"en"}, {L"Dutch", L"en"},    {L"", L"en"},
                 {L"Chinese (Simplified)", L"zh"}, {L"German (Switzerland)", L"de"},
                 {L"Chinese(Simplified)", L"en"}, {L"Japan", L"en"},
                 {nullptr, L"en"}};
    for (const auto& c : cases)
        EXPECT_STREQ(zor::LanguageCodeFromEnglishName(c.name), c.code)
            << (c.name ? c.name : L"(null)");
}

TEST(LanguageCode, ResourceLanguageFollowsCode) {
    EXPECT_EQ(zor::ResourceLanguageFor(L"ja"), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    EXPECT_EQ(zor::ResourceLanguageFor(L"zh"),
              MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
    for (const wchar_t* other : {L"en", L"fr", L"de"})
        EXPECT_EQ(zor::ResourceLanguageFor(other), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

TEST(LanguageCode, SystemLocaleGivesAKnownCode) {
    wchar_t code[3] = {L'x', L'x', L'x'};
    zor::GetLanguageCode(code, 3);
    EXPECT_EQ(code[2], L'\0');
    EXPECT_STREQ(zor::LanguageCodeFromEnglishName(nullptr), L"en");
    const std::wstring known = L"en fr es de it ja zh";
    EXPECT_NE(known.find(code), std::wstring::npos) << code;
}
