// The license text as the License Agreement box shows it.
#include <gtest/gtest.h>

#include <string>

#include "license_dialog.h"

namespace zor {
namespace {

TEST(LicenseTextTest, LineFeedsBecomeLineBreaks) {
    struct Case {
        std::string bytes;
        std::wstring shown;
    } cases[] = {
        {"one\ntwo\n", L"one\r\ntwo\r\n"},
        {"\n\nend", L"\r\n\r\nend"},
        {"already\r\nbroken\r\n", L"already\r\nbroken\r\n"}, // no doubled carriage return
        {"lone\rreturn", L"lone\rreturn"},
        {std::string("cut\0after", 9), L"cut"}, // the text ends at a zero byte
        {"", L""},
        {"caf\xe9", L"caf\x00e9"}, // ANSI code page 1252
    };
    for (const Case& c : cases)
        EXPECT_EQ(LicenseDisplayText(c.bytes.data(), c.bytes.size()), c.shown) << c.bytes;
    EXPECT_EQ(LicenseDisplayText(nullptr, 5), L"");
}

TEST(LicenseTextTest, LengthBoundsTheRead) {
    const char text[] = "abc\ndef";
    EXPECT_EQ(LicenseDisplayText(text, 4), L"abc\r\n");
}

} // namespace
} // namespace zor
