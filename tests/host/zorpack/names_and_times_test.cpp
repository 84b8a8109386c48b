// Member names (UTF-8 to code page 1252, Windows name rules) and DOS time stamps.
#include "command_line.h"
#include "cp1252.h"
#include "dos_time.h"
#include "member_names.h"

#include <gtest/gtest.h>

namespace zorpack {
namespace {

TEST(Cp1252, ConvertsEveryRepresentableCharacter) {
    struct Case {
        const char* utf8;
        const char* cp1252;
    } const cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"caf\xC3\xA9.txt", "caf\xE9.txt"},               // é, Latin-1 range
        {"\xC2\xA0\xC3\xBF", "\xA0\xFF"},                 // U+00A0 and U+00FF, the range's ends
        {"\xE2\x82\xAC", "\x80"},                         // euro sign
        {"\xE2\x80\x9A\xC5\xB8", "\x82\x9F"},             // U+201A and Ÿ, ends of 0x80-0x9F
        {"\xE2\x84\xA2\xC5\xBD\xC5\xA1", "\x99\x8E\x9A"}, // ™ Ž š
    };
    for (const Case& c : cases) {
        std::string out, problem;
        EXPECT_TRUE(utf8ToCp1252(c.utf8, out, problem)) << c.utf8 << ": " << problem;
        EXPECT_EQ(out, c.cp1252) << c.utf8;
        EXPECT_EQ(cp1252ToDisplayUtf8(out), c.utf8);
    }
}

TEST(Cp1252, RefusesCharactersOutsideTheCodePageAndBadUtf8) {
    const char* const cases[] = {
        "\xC2\x81",         // U+0081: 0x81 is undefined in code page 1252
        "\xC2\x9D",         // U+009D likewise
        "\xC2\x80",         // U+0080 is not the euro sign
        "\xE4\xB8\xAD.txt", // a CJK character
        "\xF0\x9F\x98\x80", // outside the BMP
        "\xC3",             // cut-off sequence
        "\xC3\xC3",         // bad continuation
        "\xC1\xA9",         // overlong form of ')'
        "\xED\xA0\x80",     // a surrogate
        "\xFF",             // never valid in UTF-8
    };
    for (const char* utf8 : cases) {
        std::string out, problem;
        EXPECT_FALSE(utf8ToCp1252(utf8, out, problem)) << utf8;
        EXPECT_FALSE(problem.empty());
    }
}

TEST(Cp1252, DisplayEscapesControlAndUndefinedBytes) {
    EXPECT_EQ(cp1252ToDisplayUtf8(std::string("a\x01\x81\x7F"
                                              "b",
                                              5)),
              "a\\x01\\x81\\x7Fb");
}

TEST(MemberNames, AcceptsOrdinaryNamesAndRefusesWhatWindowsCannotCreate) {
    std::string out, problem;
    for (const char* ok : {"a.txt", "with blank.txt", ".hidden", "CONSOLE.txt", "com0", "a..b"}) {
        EXPECT_TRUE(makeMemberComponent(ok, out, problem)) << ok << ": " << problem;
        EXPECT_EQ(out, ok);
    }
    for (const char* bad :
         {"", ".", "..", "a:b", "a*b", "a?b", "a\\b", "a|b", "a\"b", "a<b", "tab\there",
          "trailing.", "trailing ", "CON", "nul.txt", "Aux", "com1", "LPT9.log", "\xE4\xB8\xAD"}) {
        EXPECT_FALSE(makeMemberComponent(bad, out, problem)) << bad;
    }
}

TEST(MemberNames, FoldsCaseLikeWindows) {
    EXPECT_EQ(foldCaseCp1252("Caf\xE9\xFF\x9A.txt"), "CAF\xC9\x9F\x8A.TXT");
    EXPECT_EQ(foldCaseCp1252("\xF7\xD7"), "\xF7\xD7"); // division and multiplication signs
}

TEST(DosTime, ConvertsEpochSecondsToUtcCalendar) {
    struct Case {
        std::int64_t epoch;
        CalendarTime expected;
    } const cases[] = {
        {0, {1970, 1, 1, 0, 0, 0}},
        {951782400, {2000, 2, 29, 0, 0, 0}}, // leap day of a century leap year
        {1700000000, {2023, 11, 14, 22, 13, 20}},
        {4107542399, {2100, 2, 28, 23, 59, 59}}, // 2100 is no leap year
        {-1, {1969, 12, 31, 23, 59, 59}},
    };
    for (const Case& c : cases) {
        const CalendarTime t = utcCalendarFromEpoch(c.epoch);
        EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.hour, t.minute, t.second}),
                  (std::vector<int>{c.expected.year, c.expected.month, c.expected.day,
                                    c.expected.hour, c.expected.minute, c.expected.second}))
            << c.epoch;
    }
}

TEST(DosTime, PacksFieldsAndClampsToTheFormatsRange) {
    const DosTimestamp packed = toDosTimestamp({2023, 11, 14, 22, 13, 21});
    EXPECT_EQ(packed.date, ((2023 - 1980) << 9) | (11 << 5) | 14);
    EXPECT_EQ(packed.time, (22 << 11) | (13 << 5) | 10); // odd seconds round down
    const CalendarTime back = fromDosTimestamp(packed);
    EXPECT_EQ(back.second, 20);
    EXPECT_EQ(back.year, 2023);

    const DosTimestamp early = toDosTimestamp({1979, 12, 31, 23, 59, 59});
    EXPECT_EQ(early.date, (1 << 5) | 1);
    EXPECT_EQ(early.time, 0);
    const DosTimestamp late = toDosTimestamp({2200, 1, 1, 0, 0, 0});
    EXPECT_EQ(late.date, (127 << 9) | (12 << 5) | 31);
    EXPECT_EQ(late.time, (23 << 11) | (59 << 5) | 29);
}

TEST(CommandLine, ParsesEpochsStrictly) {
    std::int64_t seconds = -1;
    EXPECT_TRUE(parseEpoch("0", seconds));
    EXPECT_EQ(seconds, 0);
    EXPECT_TRUE(parseEpoch("253402300799", seconds));
    for (const char* bad : {"", "-1", "12x", " 1", "253402300800", "99999999999999999999"})
        EXPECT_FALSE(parseEpoch(bad, seconds)) << bad;
}

TEST(CommandLine, MtimeOptionWinsOverSourceDateEpoch) {
    Command command;
    std::string error;
    ASSERT_TRUE(parseCommandLine({"-o", "o.exe", "--stub", "s.exe", "--mtime", "100", "dir"}, "200",
                                 command, error));
    EXPECT_EQ(*command.build.fixedTime, 100);
    ASSERT_TRUE(parseCommandLine({"-o", "o.exe", "--stub", "s.exe", "dir"}, "200", command, error));
    EXPECT_EQ(*command.build.fixedTime, 200);
    ASSERT_TRUE(parseCommandLine({"-o", "o.exe", "--stub", "s.exe", "dir"}, "", command, error));
    EXPECT_FALSE(command.build.fixedTime);
    EXPECT_FALSE(
        parseCommandLine({"-o", "o.exe", "--stub", "s.exe", "dir"}, "soon", command, error));
}

TEST(CommandLine, RefusesIncompleteOrUnknownArguments) {
    Command command;
    std::string error;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"-o", "o.exe", "dir"},
        {"--stub", "s.exe", "dir"},
        {"-o", "o.exe", "--stub", "s.exe"},
        {"-o", "o.exe", "--stub", "s.exe", "dir", "other"},
        {"-o", "o.exe", "--stub", "s.exe", "--fast", "dir"},
        {"-o", "o.exe", "--stub", "s.exe", "--mtime", "dir"},
        {"-o"},
        {"--list"},
        {"--list", "a.exe", "b.exe"},
    };
    for (const auto& args : cases)
        EXPECT_FALSE(parseCommandLine(args, nullptr, command, error));
}

} // namespace
} // namespace zorpack
