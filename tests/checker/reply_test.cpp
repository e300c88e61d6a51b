// A server's reply to a verdict, its Last-Modified date forms, and which bookmarks need a check.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "checker/check_url.h"
#include "checker/last_modified.h"
#include "checker/next_check.h"
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

// A record needs a check unless checked already or known to have changed since the visit.
TEST(NeedsCheck, SkipsCheckedAndChangedRecords) {
    const struct {
        uint32_t flags, last_visit, last_modified;
        bool needed;
    } cases[] = {
        {0, 100, 200, false},
        {0, 200, 200, true},
        {0, 100, DATE_CHECKING, true},
        {BOOKMARK_CHECKED, 100, DATE_UNSET, false},
    };
    for (const auto& c : cases) {
        Bookmark b = {};
        b.flags = c.flags;
        b.last_visit = c.last_visit;
        b.last_modified = c.last_modified;
        EXPECT_EQ(needs_check(&b), c.needed) << c.flags << " " << c.last_visit << " " << c.last_modified;
        EXPECT_EQ(modified_since_visit(c.last_visit, c.last_modified), !c.needed && !c.flags);
    }
}

}  // namespace
