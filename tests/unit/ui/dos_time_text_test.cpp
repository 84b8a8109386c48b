// Archive member times as the user's locale writes them.
#include <gtest/gtest.h>
#include <windows.h>

#include "dos_time_text.h"

namespace zor {
namespace {

constexpr uint32_t DosDate(int year, int month, int day) {
    return static_cast<uint32_t>(((year - 1980) << 9) | (month << 5) | day);
}
constexpr uint32_t DosTime(int hour, int minute, int second) {
    return static_cast<uint32_t>((hour << 11) | (minute << 5) | (second / 2));
}

TEST(DosTimeTextTest, UserFormatsWithoutTimeZoneShift) {
    if (::GetUserDefaultLCID() !=
        MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT))
        GTEST_SKIP() << "expected texts are those of English (United States)";
    struct Case {
        uint32_t date, time;
        const wchar_t* dateText;
        const wchar_t* timeText;
    } cases[] = {
        {DosDate(2021, 3, 4), DosTime(14, 5, 6), L"3/4/2021", L"2:05:06 PM"},
        {DosDate(1980, 1, 1), DosTime(0, 0, 0), L"1/1/1980", L"12:00:00 AM"},
        {DosDate(2107, 12, 31), DosTime(23, 59, 58), L"12/31/2107", L"11:59:58 PM"},
    };
    for (const Case& c : cases) {
        const DosDateTimeText text = FormatDosDateTime(c.date, c.time);
        EXPECT_EQ(text.date, c.dateText);
        EXPECT_EQ(text.time, c.timeText);
    }
}

TEST(DosTimeTextTest, InvalidWordsGiveNoText) {
    const uint32_t invalid[][2] = {
        {DosDate(2021, 0, 4), DosTime(1, 2, 4)},  // month 0
        {DosDate(2021, 13, 4), DosTime(1, 2, 4)}, // month 13
        {DosDate(2021, 2, 0), DosTime(1, 2, 4)},  // day 0
        {DosDate(2021, 2, 3), DosTime(24, 0, 0)}, // hour 24
        {0x10000, 0},                             // wider than a DOS word
    };
    for (const auto& words : invalid) {
        const DosDateTimeText text = FormatDosDateTime(words[0], words[1]);
        EXPECT_TRUE(text.date.empty() && text.time.empty()) << words[0] << " " << words[1];
    }
}

} // namespace
} // namespace zor
