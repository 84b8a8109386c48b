#include "dos_time_text.h"

#include <windows.h>

namespace zor {
namespace {

// Longest date or time text kept; the locale's formats are far shorter.
constexpr int kTextMax = 80;

std::wstring FormatPart(const SYSTEMTIME& time, bool date) {
    wchar_t text[kTextMax] = {};
    const int length =
        date ? ::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, kTextMax)
             : ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, kTextMax);
    // The returned length counts the terminator.
    return length > 1 ? std::wstring(text, static_cast<size_t>(length - 1)) : std::wstring();
}

} // namespace

DosDateTimeText FormatDosDateTime(uint32_t dosDate, uint32_t dosTime) {
    DosDateTimeText result;
    if (dosDate > 0xFFFF || dosTime > 0xFFFF)
        return result;
    FILETIME fileTime = {};
    SYSTEMTIME systemTime = {};
    if (!::DosDateTimeToFileTime(static_cast<WORD>(dosDate), static_cast<WORD>(dosTime),
                                 &fileTime) ||
        !::FileTimeToSystemTime(&fileTime, &systemTime))
        return result;
    result.date = FormatPart(systemTime, true);
    result.time = FormatPart(systemTime, false);
    return result;
}

} // namespace zor
