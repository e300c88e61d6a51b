// The calendar day of a moment, for texts that name dates the same way on
// every system: the archive's timestamps and the dates lktool writes.
#pragma once

#include <cstdint>

struct CivilDate {
    uint32_t year, month, day;  // month 1 to 12, day 1 to 31
};

// The day in UTC (the proleptic Gregorian calendar) of a moment in seconds
// since 1970.
CivilDate civil_date(uint32_t moment);
