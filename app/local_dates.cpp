// Dates in the user's format.
#include "app/local_dates.h"

#include "core/bookmark.h"

FILETIME file_time_of(uint32_t date) {
    // Seconds since 1970 to 100-nanosecond units since 1601.
    const ULONGLONG ticks = (static_cast<ULONGLONG>(date) + 11644473600ULL) * 10000000ULL;
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

std::string short_date(uint32_t date) {
    if (!is_real_date(date)) return std::string();
    const FILETIME universal = file_time_of(date);
    FILETIME local;
    SYSTEMTIME day;
    char text[64] = "";
    if (FileTimeToLocalFileTime(&universal, &local) && FileTimeToSystemTime(&local, &day)) {
        GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, sizeof text);
    }
    return text;
}
