#include "dos_time.h"

namespace zorpack {

DosTimestamp toDosTimestamp(const CalendarTime& t) {
    if (t.year < 1980)
        return toDosTimestamp(CalendarTime{});
    if (t.year > 2107)
        return toDosTimestamp(CalendarTime{2107, 12, 31, 23, 59, 58});
    DosTimestamp dos;
    dos.date = static_cast<std::uint16_t>(((t.year - 1980) << 9) | (t.month << 5) | t.day);
    dos.time = static_cast<std::uint16_t>((t.hour << 11) | (t.minute << 5) | (t.second / 2));
    return dos;
}

CalendarTime fromDosTimestamp(DosTimestamp dos) {
    CalendarTime t;
    t.year = 1980 + (dos.date >> 9);
    t.month = (dos.date >> 5) & 0x0F;
    t.day = dos.date & 0x1F;
    t.hour = dos.time >> 11;
    t.minute = (dos.time >> 5) & 0x3F;
    t.second = (dos.time & 0x1F) * 2;
    return t;
}

CalendarTime utcCalendarFromEpoch(std::int64_t seconds) {
    // Days since 1970-01-01 to a civil date in the proleptic Gregorian calendar, counting in
    // 400-year eras that start on 1 March so that the leap day ends each year.
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153; // 0 = March
    CalendarTime t;
    t.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    t.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    t.year = static_cast<int>(yearOfEra + era * 400 + (t.month <= 2 ? 1 : 0));
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest % 3600 / 60);
    t.second = static_cast<int>(rest % 60);
    return t;
}

} // namespace zorpack
