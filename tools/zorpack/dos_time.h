// MS-DOS date and time stamps of archive members, and the calendar arithmetic behind them.
#pragma once
#include <cstdint>

namespace zorpack {

struct CalendarTime {
    int year = 1980; // four digits
    int month = 1;   // 1-12
    int day = 1;     // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

struct DosTimestamp {
    std::uint16_t time = 0;
    std::uint16_t date = 0;
};

// Packs a calendar time into DOS form. Seconds are stored in two-second steps (odd seconds
// round down); times before 1980 become 1980-01-01 00:00:00 and times after 2107 become
// 2107-12-31 23:59:58, the ends of the range the format can hold.
DosTimestamp toDosTimestamp(const CalendarTime& t);

CalendarTime fromDosTimestamp(DosTimestamp dos);

// The calendar time in UTC of seconds since 1970-01-01 00:00:00 UTC.
CalendarTime utcCalendarFromEpoch(std::int64_t seconds);

} // namespace zorpack
