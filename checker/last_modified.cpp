// The Last-Modified patterns and the conversion of their fields to a date.
#include "checker/last_modified.h"

#include "checker/pattern.h"
#include "checker/reply.h"
#include "checker/url.h"
#include "core/bookmark.h"
#include "core/containers.h"

namespace {

// RFC 1123 and RFC 850: day, month name, year, hour, minute, second.
const std::regex& rfc_form() {
    static const std::regex pattern(
        "[a-zA-Z]+[,]?[ ]+([0-9]+)[- ]+([a-zA-Z]+)[- ]+([0-9]+)[ ]+([0-9]+)[:]([0-9]+)[:]([0-9]+)", CHECKER_REGEX);
    return pattern;
}

// asctime: month name, day, hour, minute, second, year.
const std::regex& asctime_form() {
    static const std::regex pattern(
        "[a-zA-Z]+[ ]+([a-zA-Z]+)[ ]+([0-9]+)[ ]+([0-9]+)[:]([0-9]+)[:]([0-9]+)[ ]+([0-9]+)", CHECKER_REGEX);
    return pattern;
}

const char* const month_names[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                     "jul", "aug", "sep", "oct", "nov", "dec"};

int month_of(const char* text, TextSpan span) {
    if (span.end < span.start + 3) return -1;
    const char* name = text + span.start;
    for (int month = 0; month < 12; month++) {
        const char* known = month_names[month];
        if (fold_ascii(name[0]) == known[0] && fold_ascii(name[1]) == known[1] && fold_ascii(name[2]) == known[2]) {
            return month;
        }
    }
    return -1;
}

// Days from 1970-01-01 to the first of the month 0-11 (proleptic Gregorian),
// counting years from March so that the leap day falls at the end.
int64_t days_from_civil(int64_t year, int64_t month) {
    int64_t y = month < 2 ? year - 1 : year;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t year_of_era = y - era * 400;
    int64_t month_from_march = month < 2 ? month + 10 : month - 2;
    int64_t day_of_year = (153 * month_from_march + 2) / 5;
    int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

uint32_t span_value(const char* text, TextSpan span) { return parse_decimal_span(text, span.start, span.end); }

TextSpan span_of(const std::cmatch& m, int group) {
    TextSpan span;
    span.start = static_cast<uint32_t>(m.position(group));
    span.end = span.start + static_cast<uint32_t>(m.length(group));
    return span;
}

}  // namespace

uint32_t make_date(const char* text, const DateSpans* spans) {
    int month = month_of(text, spans->month);
    if (month < 0) return DATE_UNSET;
    // RFC 850's two-digit years: 70-99 are 1970-1999, 00-69 are 2000-2069.
    int64_t year = span_value(text, spans->year);
    if (year < 70) {
        year += 2000;
    } else if (year < 1900) {
        year += 1900;
    }
    int64_t seconds = (days_from_civil(year, month) + span_value(text, spans->day) - 1) * 86400 +
                      int64_t{span_value(text, spans->hour)} * 3600 + int64_t{span_value(text, spans->minute)} * 60 +
                      span_value(text, spans->second);
    // Before 1970 or past 2106 the moment has no date value; it must not read as a sentinel.
    if (seconds < 0 || seconds >= DATE_CHECKING) return DATE_UNSET;
    return static_cast<uint32_t>(seconds);
}

uint32_t parse_http_date(const char* text, size_t length) {
    std::cmatch m;
    DateSpans spans;
    const auto from_start = std::regex_constants::match_continuous;
    if (std::regex_search(text, text + length, m, rfc_form(), from_start)) {
        spans = {span_of(m, 1), span_of(m, 2), span_of(m, 3), span_of(m, 4), span_of(m, 5), span_of(m, 6)};
    } else if (std::regex_search(text, text + length, m, asctime_form(), from_start)) {
        spans = {span_of(m, 2), span_of(m, 1), span_of(m, 6), span_of(m, 3), span_of(m, 4), span_of(m, 5)};
    } else {
        return DATE_UNSET;
    }
    return make_date(text, &spans);
}

uint32_t parse_last_modified(const char* reply) {
    size_t length;
    const char* value = find_header(reply, "Last-Modified", &length);
    return value ? parse_http_date(value, length) : DATE_UNSET;
}
