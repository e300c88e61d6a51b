// Reading the Last-Modified date of a reply as a date of the collection.
#pragma once

#include <cstddef>
#include <cstdint>

// A piece of a text: [start, end).
struct TextSpan {
    uint32_t start;
    uint32_t end;
};

struct DateSpans {
    TextSpan day;
    TextSpan month;  // month name; its first three letters count
    TextSpan year;   // four digits, or two: 70-99 in 1900, 00-69 in 2000
    TextSpan hour;
    TextSpan minute;
    TextSpan second;
};

// The date at the start of the text (length bytes) in the RFC 1123, RFC 850
// or asctime form, read as Greenwich time (a zone after the time is not
// looked at), or DATE_UNSET when there is none or it cannot be read.
uint32_t parse_http_date(const char* text, size_t length);

// The date of the reply's first Last-Modified header, or DATE_UNSET.
uint32_t parse_last_modified(const char* reply);

// The moment that the fields of the text read as UTC, normalised as the C
// library's mktime does (a 31st of a 30-day month is the 1st of the next);
// DATE_UNSET for an unknown month or a moment outside the date unit.
uint32_t make_date(const char* text, const DateSpans* spans);
