// Tests of the evaluation of a server's reply: status to verdict, Location,
// Retry-After and the Last-Modified date forms; and fuzzing of replies and URLs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "checker/check_url.h"
#include "checker/last_modified.h"
#include "checker/url.h"
#include "core/bookmark.h"

namespace {

const uint32_t NOV_6_1994 = 784111777;  // 08:49:37
const uint32_t U = DATE_UNSET;
const uint32_t B = DATE_BROKEN;
const CheckError NONE = CHECK_ERROR_NONE;

struct ReplyCase {
    const char* reply;
    CheckVerdict verdict;
    uint32_t value;
    uint16_t status;
    CheckError error;
    uint32_t retry_after;
};

const ReplyCase reply_cases[] = {
    {"HTTP/1.0 200 OK\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n", VERDICT_DATED, NOV_6_1994, 200, NONE,
     0},
    {"HTTP/1.0 200 OK\r\n\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n", VERDICT_OK, U, 200, NONE, 0},
    {"HTTP/1.0 410 Gone\r\n\r\n", VERDICT_GONE, B, 410, NONE, 0},
    {"HTTP/1.0 400 Bad Request\r\n\r\n", VERDICT_BLOCKED, U, 400, NONE, 0},
    {"HTTP/1.0 429 Too Many\r\nRetry-After: 90\r\n\r\n", VERDICT_BLOCKED, U, 429, NONE, 90},
    {"HTTP/1.1 999 Request denied\r\n\r\n", VERDICT_BLOCKED, U, 999, NONE, 0},
    {"HTTP/1.0 503 Busy\r\ncf-mitigated: challenge\r\n\r\n", VERDICT_BLOCKED, U, 503, NONE, 0},
    {"HTTP/1.0 408 Request Timeout\r\n\r\n", VERDICT_UNREACHABLE, B, 408, NONE, 0},
    {"HTTP/1.0 500 Internal Server Error\r\n\r\n", VERDICT_SERVER_ERROR, U, 500, NONE, 0},
    {"HTTP/1.0 503 Busy\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\nRetry-After: Sun, 06 Nov 1994 09:49:37 GMT\r\n\r\n",
     VERDICT_SERVER_ERROR, U, 503, NONE, 3600},
    {"HTTP/1.0 301 Moved\r\nContent-Location: /x\r\n\r\n", VERDICT_SERVER_ERROR, U, 301, CHECK_ERROR_NO_LOCATION, 0},
    {"<html><body>hello</body></html>", VERDICT_OK, U, 0, NONE, 0},
    {"junk HTTP/1.0 200 OK\r\n\r\n", VERDICT_UNREACHABLE, B, 0, CHECK_ERROR_NOT_HTTP, 0},
};

TEST(EvaluateReply, GivesTheVerdictOfEachKindOfReply) {
    for (const ReplyCase& c : reply_cases) {
        CheckResult result = {};
        char* location = nullptr;
        EXPECT_FALSE(evaluate_reply(c.reply, &result, &location)) << c.reply;
        EXPECT_EQ(result.verdict, c.verdict) << c.reply;
        EXPECT_EQ(result.value, c.value) << c.reply;
        EXPECT_EQ(result.http_status, c.status) << c.reply;
        EXPECT_EQ(result.error, c.error) << c.reply;
        EXPECT_EQ(result.retry_after, c.retry_after) << c.reply;
    }
}

const std::pair<const char*, uint32_t> date_cases[] = {
    {"Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT", NOV_6_1994},
    {"Last-Modified: Thursday, 01-Jan-70 00:00:00 GMT", 0},
    {"Last-Modified: Sun Nov  6 08:49:37 1994", NOV_6_1994},
    {"LAST-MODIFIED:Sun, 6 nOV 1994 08:49:37 +0200", NOV_6_1994},
    {"Last-Modified: Sunday, 31-Dec-69 23:59:59 GMT", 3155759999u},
    {"Last-Modified: Tue, 29 Feb 2028 23:59:59 GMT", 1835481599},
    {"Last-Modified: Sun, 07 Feb 2106 06:28:13 GMT", U},
    {"Last-Modified: Wed, 31 Dec 1969 23:59:59 GMT", U},
    {"Last-Modified: 1994-11-06T08:49:37Z", U},
    {"Last-Modified: Sun, 06 Nvm 1994 08:49:37 GMT", U},
    {"Last-Modified: Sun, 06 Nov 99999999999 08:49:37 GMT", U},
};

TEST(ParseLastModified, ReadsEveryFormAsGreenwichTime) {
    for (const auto& c : date_cases) {
        std::string reply = std::string("HTTP/1.0 200 OK\r\n") + c.first + "\r\n\r\n";
        EXPECT_EQ(parse_last_modified(reply.c_str()), c.second) << c.first;
    }
}

// Replies and addresses come from anywhere: random and truncated ones never crash.
TEST(UntrustedText, RandomAndTruncatedTextNeverCrashes) {
    std::mt19937 random(10);
    const std::string samples[] = {
        "HTTP/1.1 301 Moved\r\nLast-Modified: Sunday, 06-Nov-94 08:49:37 GMT\r\nRetry-After: Sun Nov  6 08:49:37 "
        "1994\r\nLocation: /x\r\n\r\n",
        "https://user@example.com:8080/a/b?c=d#e"};
    const std::string alphabet = "HTP/1. 0239odifie:Last-M,LocationRetry-After\r\nNovSun~#%?&@[]\t<>\xC3";
    for (int round = 0; round < 6000; round++) {
        const std::string& sample = samples[round % 2];
        std::string text = sample.substr(0, random() % (sample.size() + 1));
        for (size_t i = random() % 6; i > 0 && !text.empty(); i--) {
            text[random() % text.size()] = alphabet[random() % alphabet.size()];
        }
        CheckResult result = {};
        char* location = nullptr;
        bool redirected = evaluate_reply(text.c_str(), &result, &location);
        ASSERT_TRUE(redirected ? location != nullptr : result.verdict != VERDICT_NONE) << text;
        free(location);
        uint32_t date = parse_last_modified(text.c_str());
        ASSERT_TRUE(is_real_date(date) || date == DATE_UNSET);
        ParsedUrl url;
        if (parse_url(text.c_str(), &url) && url.scheme != SCHEME_OTHER) {
            ASSERT_GT(strlen(url.host), 0u) << text;
            ASSERT_EQ(url.path[0], '/') << text;
            ASSERT_EQ(strcspn(url.path, " #\"<>"), strlen(url.path)) << text;
        }
        free_parsed_url(&url);
    }
}

}  // namespace
