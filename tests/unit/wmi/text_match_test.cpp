#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "text_match.h"

TEST(FindSubstringNoCase, Table) {
    struct Case {
        const wchar_t* text;
        const wchar_t* pattern;
        int expected;
    };
    const Case cases[] = {
        {L"setup.exe /s /VERBOSE_LOG /q", L"/verbose_log", 13},
        {L"/Verbose_Log", L"/verbose_log", 0},
        {L"abcabc", L"CABC", 2},
        {L"ends with /consoleout", L"/CONSOLEOUT", 10},
        {L"nothing here", L"/verbose_log", -1},
        {L"text", L"", -1},
        {L"", L"", -1},
        {L"short", L"much longer pattern", -1},
        {L"abcab", L"abcabc", -1},
        {L"x", L"X", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zor::FindSubstringNoCase(c.text, c.pattern), c.expected)
            << "'" << c.pattern << "' in '" << c.text << "'";
    }
    EXPECT_EQ(zor::FindSubstringNoCase(nullptr, L"a"), -1);
    EXPECT_EQ(zor::FindSubstringNoCase(L"a", nullptr), -1);
}

TEST(TrimTrailingWhitespace, Table) {
    struct Case {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"ProLiant DL380 Gen10 \t\r\n  ", L"ProLiant DL380 Gen10"},
        {L"ProLiant DL380", L"ProLiant DL380"},
        {L"  leading stays", L"  leading stays"},
        {L"inner  space\tstays\t", L"inner  space\tstays"},
        {L" \t\r\n", L""},
        {L"", L""},
        {L"x\v", L"x\v"}, // only space, tab, line feed and carriage return count
    };
    for (const Case& c : cases) {
        wchar_t buffer[64];
        std::wcsncpy(buffer, c.text, 63);
        buffer[63] = L'\0';
        EXPECT_EQ(zor::TrimTrailingWhitespace(buffer), buffer);
        EXPECT_STREQ(buffer, c.expected) << "'" << c.text << "'";
    }
    EXPECT_EQ(zor::TrimTrailingWhitespace(nullptr), nullptr);
}

TEST(TrimTrailingWhitespace, LongTextKeepsEveryCharacter) {
    std::wstring text(300, L'm');
    text += L"   ";
    std::wstring buffer = text;
    zor::TrimTrailingWhitespace(&buffer[0]);
    EXPECT_EQ(std::wstring(buffer.c_str()), std::wstring(300, L'm'));
}
