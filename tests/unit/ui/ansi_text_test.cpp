// ANSI code page text (archive entry names, the license) converted to UTF-16.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ansi_text.h"

namespace zor {
namespace {

TEST(AnsiTextTest, ConvertsExactlyTheGivenBytes) {
    if (::GetACP() != 1252)
        GTEST_SKIP() << "expected texts are those of code page 1252";
    struct Case {
        std::string bytes;
        size_t length;
        std::wstring wide;
    } cases[] = {
        {"caf\xe9.txt", 8, L"caf\x00e9.txt"},
        {"abcdef", 3, L"abc"},                                 // no byte past the length is read
        {std::string("a\0b", 3), 3, std::wstring(L"a\0b", 3)}, // zero bytes are text too
        {"abc", 0, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AnsiToWide(c.bytes.data(), c.length), c.wide) << c.bytes;
    EXPECT_EQ(AnsiToWide(nullptr, 4), L"");
}

TEST(AnsiTextTest, ZeroTerminatedTextEndsAtItsTerminator) {
    EXPECT_EQ(AnsiToWide("vx_pkg.xml"), L"vx_pkg.xml");
    EXPECT_EQ(AnsiToWide(""), L"");
    EXPECT_EQ(AnsiToWide(static_cast<const char*>(nullptr)), L"");
}

} // namespace
} // namespace zor
