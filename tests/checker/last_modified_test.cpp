// Tests of the Last-Modified date forms and the conversion of their fields.
#include "checker/last_modified.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>

#include "core/bookmark.h"

namespace {

const uint32_t NOV_6_1994_08_49_37 = 784111777;

struct DateCase {
    const char* reply;
    uint32_t value;
};

const DateCase date_cases[] = {
    {"HTTP/1.0 200 OK\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n", NOV_6_1994_08_49_37},
    {"HTTP/1.0 200 OK\r\nLast-Modified: Sunday, 06-Nov-94 08:49:37 GMT\r\n\r\n", NOV_6_1994_08_49_37},
    {"HTTP/1.0 200 OK\r\nLast-Modified: Sun Nov  6 08:49:37 1994\r\n\r\n", NOV_6_1994_08_49_37},
    {"Last-modified: Sun, 06 Nov 1994 08:49:37 GMT", NOV_6_1994_08_49_37},
    {"Last-Modified:Sun, 6 nOV 1994 08:49:37 +0200", NOV_6_1994_08_49_37},
    {"Last-Modified: Sun 06 November 1994 08:49:37", NOV_6_1994_08_49_37},
    {"Last-Modified: Tue, 29 Feb 2028 23:59:59 GMT", 1835481599},
    {"Last-Modified: Sat, 01 Jan 2000 00:00:00 GMT", 946684800},
    {"Last-Modified: Thu, 01 Jan 1970 00:00:00 GMT", 0},
    {"Last-Modified: Sun, 07 Feb 2106 06:28:12 GMT", 0xFFFFFFFCu},
    // Fields out of range carry over as mktime's do.
    {"Last-Modified: Mon, 31 Apr 2000 00:00:00 GMT", 957139200},
    {"Last-Modified: Sat, 00 Jan 2000 24:00:00 GMT", 946684800},
    // The first form wins over a later asctime form.
    {"Last-Modified: Sun Nov  6 08:49:37 1994\r\nX-Modified: Sat, 01 Jan 2000 00:00:00 GMT", 946684800},
};

const char* const unusable[] = {
    "",
    "HTTP/1.0 200 OK\r\n\r\n",
    "LAST-MODIFIED: Sun, 06 Nov 1994 08:49:37 GMT",
    "Last-Modified: 1994-11-06T08:49:37Z",
    "Last-Modified: Sun, 06 Nvm 1994 08:49:37 GMT",
    "Last-Modified: Sun, 06 No 1994 08:49:37 GMT",
    "Last-Modified: 06 Nov 1994 08:49:37 GMT",
    "Last-Modified: Wed, 31 Dec 1969 23:59:59 GMT",
    "Last-Modified: Sun, 07 Feb 2106 06:28:13 GMT",
    "Last-Modified: Sun, 06 Nov 99999999999 08:49:37 GMT",
    "Last-Modified: Sun, 06 Nov 1994 08:49",
};

TEST(ParseLastModified, ReadsEveryFormAsGreenwichTime) {
    for (const DateCase& c : date_cases) {
        EXPECT_EQ(parse_last_modified(c.reply), c.value) << c.reply;
    }
}

TEST(ParseLastModified, GivesUnsetForDatesItCannotRead) {
    for (const char* reply : unusable) {
        EXPECT_EQ(parse_last_modified(reply), DATE_UNSET) << reply;
    }
}

void set_time_zone(const char* zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone);
    _tzset();
#else
    setenv("TZ", zone, 1);
    tzset();
#endif
}

TEST(ParseLastModified, DoesNotDependOnTheTimeZone) {
    for (const char* zone : {"EST5EDT", "UTC0", "JST-9", "NZST-12NZDT"}) {
        set_time_zone(zone);
        for (const DateCase& c : date_cases) {
            EXPECT_EQ(parse_last_modified(c.reply), c.value) << zone << ": " << c.reply;
        }
    }
    set_time_zone("UTC0");
}

TEST(MakeDate, MatchesTheCalendarOnTheFirstOfEveryMonth) {
    // The leap-year rules against an independent day count, 1970 to 2105.
    const char* names = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const int month_days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    uint64_t expected = 0;
    for (int year = 1970; year < 2106; year++) {
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        for (int month = 0; month < 12; month++) {
            char text[32];
            snprintf(text, sizeof text, "%.3s %04d 1 0 0 0", names + 3 * month, year);
            DateSpans spans = {{9, 10}, {0, 3}, {4, 8}, {11, 12}, {13, 14}, {15, 16}};
            ASSERT_EQ(make_date(text, &spans), expected) << text;
            expected += static_cast<uint64_t>(month_days[month] + (month == 1 && leap)) * 86400;
        }
    }
}

TEST(ParseLastModified, RandomAndTruncatedRepliesNeverCrash) {
    std::mt19937 random(10);
    const std::string sample = "HTTP/1.0 200 OK\r\nLast-Modified: Sunday, 06-Nov-94 08:49:37 GMT\r\n\r\n";
    const std::string alphabet = "odifie:Last-M ,0123456789NovJanDec\r\n";
    for (int round = 0; round < 3000; round++) {
        std::string text;
        if (round % 2) {
            text = sample.substr(0, random() % (sample.size() + 1));
        } else {
            text = "odified:";
            size_t length = random() % 60;
            for (size_t i = 0; i < length; i++) text += alphabet[random() % alphabet.size()];
        }
        uint32_t value = parse_last_modified(text.c_str());
        EXPECT_TRUE(is_real_date(value) || value == DATE_UNSET);
    }
}

}  // namespace
