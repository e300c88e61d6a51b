// Dates of records as the user's system writes them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// A moment in seconds since 1970 as a file time (UTC).
FILETIME file_time_of(uint32_t date);
// The day of a date, in local time and the user's short date format; empty
// for a date the record does not hold.
std::string short_date(uint32_t date);
