// Days since 1970 to the civil date.
#include "core/civil_date.h"

CivilDate civil_date(uint32_t moment) {
    // Years counted from March, so that the leap day falls at the end.
    const int64_t z = moment / 86400 + 719468;
    const int64_t era = z / 146097;
    const int64_t day_of_era = z - era * 146097;
    const int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t month_from_march = (5 * day_of_year + 2) / 153;
    const int64_t day = day_of_year - (153 * month_from_march + 2) / 5 + 1;
    const int64_t month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;
    const int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
    return {static_cast<uint32_t>(year), static_cast<uint32_t>(month), static_cast<uint32_t>(day)};
}
