#include "time_format.h"

#include "bounded_text.h"

#include <windows.h>

namespace {

constexpr int kPartSize = 128;

bool LocalTimeText(wchar_t (&text)[kPartSize]) {
    return ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT | TIME_NOTIMEMARKER,
                            nullptr, nullptr, text, kPartSize) > 0;
}

} // namespace

int FormatLocalTime(wchar_t* output, std::size_t outputSize) {
    if (!output || outputSize == 0)
        return 0;
    output[0] = L'\0';
    wchar_t time[kPartSize] = {};
    if (!LocalTimeText(time))
        return 0;
    return zor::FormatText(output, outputSize, L"%s", time) ? 1 : 0;
}

int FormatLocalDateTime(wchar_t* output, std::size_t outputSize) {
    if (!output || outputSize == 0)
        return 0;
    output[0] = L'\0';
    wchar_t date[kPartSize] = {};
    wchar_t time[kPartSize] = {};
    if (::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, kPartSize) ==
            0 ||
        !LocalTimeText(time)) {
        return 0;
    }
    return zor::FormatText(output, outputSize, L"%s %s", date, time) ? 1 : 0;
}
