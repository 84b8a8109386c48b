// Local date and time texts for log entries, in the user's default locale.
#pragma once

#include <cstddef>

// The local time in 24-hour form without a time marker, for example "14:03:22". Returns 1
// when output received it; 0 leaves output empty.
int FormatLocalTime(wchar_t* output, std::size_t outputSize);

// The user's short date followed by a space and the same time text.
int FormatLocalDateTime(wchar_t* output, std::size_t outputSize);
