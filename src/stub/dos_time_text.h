// Archive members carry their times as DOS date and time words. These turn them into the texts
// the user's locale writes, without any time-zone conversion: the values are shown exactly as
// the package author's tool recorded them.
#pragma once
#include <cstdint>
#include <string>

namespace zor {

struct DosDateTimeText {
    std::wstring date;
    std::wstring time;
};

// Both texts in the user's default date and time formats; both empty when the words do not
// form a valid date and time.
DosDateTimeText FormatDosDateTime(uint32_t dosDate, uint32_t dosTime);

} // namespace zor
