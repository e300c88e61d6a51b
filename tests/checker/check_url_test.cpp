// Tests of reply evaluation and of whole checks against real servers on
// 127.0.0.1, one per outcome of the checker's value table.
#include "checker/check_url.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "checker/net.h"
#include "core/bookmark.h"
#include "tests/checker/test_server.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

const uint32_t NOV_6_1994_08_49_37 = 784111777;
const uint32_t SITE_DATE = 1700000000;  // the file server's pages
const uint32_t FEB_29_2028_23_59_59 = 1835481599;

const ProbeSettings probe = {102, "32m", 5};

struct ReplyCase {
    const char* reply;
    uint32_t value;
};

const ReplyCase reply_cases[] = {
    {"HTTP/1.0 200 OK\r\nLast-Modified: Sun, 06 Nov 1994 08:49:37 GMT\r\n\r\n", NOV_6_1994_08_49_37},
    {"HTTP/1.1 200 OK\r\n\r\n", DATE_UNSET},
    {"HTTP/1x1 404 Not Found\r\n\r\n", DATE_BROKEN},
    {"junk HTTP/1.0   410\r\n\r\n", DATE_BROKEN},
    {"HTTP/1.0 204 No Content\r\n\r\n", DATE_UNSET},
    {"HTTP/1.0 100 Continue\r\n\r\n", DATE_UNSET},
    {"HTTP/1.0 303 See Other\r\nLocation: http://a.example/\r\n\r\n", DATE_UNSET},
    {"HTTP/1.0 500 Internal Server Error\r\n\r\n", DATE_UNSET},
    {"HTTP/1.0 302 Found\r\n\r\n", DATE_BROKEN},
    {"HTTP/1.0 301 Moved\r\nLocation:\r\n\r\n", DATE_BROKEN},
    {"http/1.0 200 OK\r\n\r\n", DATE_BROKEN},
    {"<HTML><BODY>hello</BODY></HTML>", DATE_UNSET},
    {"<html><body>hello</body></html>", DATE_BROKEN},
    {" <HTML>", DATE_BROKEN},
    {"", DATE_BROKEN},
};

TEST(EvaluateReply, GivesTheValueOfEachKindOfReply) {
    for (const ReplyCase& c : reply_cases) {
        uint32_t value = 0;
        char* location = reinterpret_cast<char*>(1);
        EXPECT_FALSE(evaluate_reply(c.reply, &value, &location)) << c.reply;
        EXPECT_EQ(value, c.value) << c.reply;
        EXPECT_EQ(location, nullptr);
    }
}

TEST(EvaluateReply, FollowsTheLocationOf301And302) {
    const char* replies[][2] = {
        {"HTTP/1.0 302 Found\r\nLocation: http://b.example/x\r\n\r\n", "http://b.example/x"},
        {"HTTP/1.0 301 Moved\r\nlocation:/relative\tmore\r\n", "/relative"},
        {"HTTP/1.1 301 Moved\r\nLocation:    page.html\n", "page.html"},
    };
    for (const auto& c : replies) {
        uint32_t value = 0;
        char* location = nullptr;
        EXPECT_TRUE(evaluate_reply(c[0], &value, &location)) << c[0];
        EXPECT_STREQ(location, c[1]);
        free(location);
    }
}

class CheckUrl : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(net_startup()); }
    static void TearDownTestSuite() { net_cleanup(); }

    static uint32_t scripted(const char* path) { return check_url(scripted_url(path).c_str(), &probe); }
    static uint32_t files(const char* path) { return check_url(files_url(path).c_str(), &probe); }
    static uint32_t secure(const char* path) { return check_url(tls_url(path).c_str(), &probe); }
};

TEST_F(CheckUrl, ReadsTheDateOfA200Reply) {
    EXPECT_EQ(files("/page.html"), SITE_DATE);
    EXPECT_EQ(scripted("/date/rfc1123"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/date/rfc850"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/date/asctime"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/date/small-m"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/date/leap-2028"), FEB_29_2028_23_59_59);
    EXPECT_EQ(scripted("/long"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/split"), NOV_6_1994_08_49_37);
}

TEST_F(CheckUrl, KnowsNothingOfA200WithoutAUsableDate) {
    for (const char* path :
         {"/no-date", "/date/capitals", "/date/unknown-month", "/date/before-1970", "/date/iso", "/long-late"}) {
        EXPECT_EQ(scripted(path), DATE_UNSET) << path;
    }
}

TEST_F(CheckUrl, MarksMissingPagesBroken) {
    EXPECT_EQ(files("/missing.html"), DATE_BROKEN);
    EXPECT_EQ(scripted("/status/404"), DATE_BROKEN);
    EXPECT_EQ(scripted("/status/410"), DATE_BROKEN);
}

TEST_F(CheckUrl, KnowsNothingOfOtherStatusCodes) {
    for (const char* path : {"/status/204", "/status/500", "/status/400", "/status/307"}) {
        EXPECT_EQ(scripted(path), DATE_UNSET) << path;
    }
}

TEST_F(CheckUrl, ReadsRepliesWithoutAStatusLine) {
    EXPECT_EQ(scripted("/html"), DATE_UNSET);
    EXPECT_EQ(scripted("/html-small"), DATE_BROKEN);
    EXPECT_EQ(scripted("/no-status"), DATE_BROKEN);
}

TEST_F(CheckUrl, AsksWithGetWhenHeadIsAnsweredByClosing) {
    EXPECT_EQ(scripted("/close-head"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/close"), DATE_UNSET);
}

TEST_F(CheckUrl, FollowsUpToFiveRequests) {
    EXPECT_EQ(scripted("/chain/4"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/chain/5"), DATE_BROKEN);
    EXPECT_EQ(scripted("/moved-301"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/no-location"), DATE_BROKEN);
}

TEST_F(CheckUrl, ResolvesRelativeLocations) {
    EXPECT_EQ(files("/dir"), SITE_DATE);
    EXPECT_EQ(scripted("/moved-absolute-path"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/moved-network-path"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/dir/sub/moved"), FEB_29_2028_23_59_59);
}

TEST_F(CheckUrl, NamesTheSiteItAsksFor) { EXPECT_EQ(scripted("/vhost"), NOV_6_1994_08_49_37); }

TEST_F(CheckUrl, ChecksHttpsPagesOverTls) {
    EXPECT_EQ(secure("/date/rfc1123"), NOV_6_1994_08_49_37);
    EXPECT_EQ(secure("/long"), NOV_6_1994_08_49_37);
    EXPECT_EQ(secure("/status/404"), DATE_BROKEN);
    EXPECT_EQ(secure("/status/500"), DATE_UNSET);
    EXPECT_EQ(secure("/close-head"), NOV_6_1994_08_49_37);
}

TEST_F(CheckUrl, FollowsRedirectsBetweenHttpAndHttps) {
    EXPECT_EQ(scripted("/to-tls/date/asctime"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/to-tls/chain/3"), NOV_6_1994_08_49_37);
    EXPECT_EQ(scripted("/to-tls/chain/4"), DATE_BROKEN);
    // A relative Location stays on https.
    EXPECT_EQ(secure("/moved-absolute-path"), NOV_6_1994_08_49_37);
    EXPECT_EQ(secure("/dir/sub/moved"), FEB_29_2028_23_59_59);
}

TEST_F(CheckUrl, TreatsAServerWithoutTlsAsUnreachable) {
    ProbeSettings short_wait = probe;
    short_wait.wait_seconds = 1;
    char url[64];
    snprintf(url, sizeof url, "https://127.0.0.1:%u/date/rfc1123", test_servers().scripted_port);
    EXPECT_EQ(check_url(url, &short_wait), DATE_BROKEN);
    snprintf(url, sizeof url, "https://127.0.0.1:%u/date/rfc1123", test_servers().files_port);
    EXPECT_EQ(check_url(url, &short_wait), DATE_BROKEN);
    snprintf(url, sizeof url, "https://127.0.0.1:%u/", closed_port());
    EXPECT_EQ(check_url(url, &short_wait), DATE_BROKEN);
}

TEST_F(CheckUrl, MarksUnreachableAddressesBroken) {
    EXPECT_EQ(check_url("<>", &probe), DATE_BROKEN);
    EXPECT_EQ(check_url(nullptr, &probe), DATE_BROKEN);
    EXPECT_EQ(check_url("http://nonexistent.invalid/", &probe), DATE_BROKEN);
    char url[64];
    snprintf(url, sizeof url, "127.0.0.1:%u/", closed_port());
    EXPECT_EQ(check_url(url, &probe), DATE_BROKEN);
    ProbeSettings short_wait = probe;
    short_wait.wait_seconds = 1;
    EXPECT_EQ(check_url(scripted_url("/silent").c_str(), &short_wait), DATE_BROKEN);
}

TEST_F(CheckUrl, KnowsNothingOfSchemesItDoesNotProbe) {
    EXPECT_EQ(check_url("ftp://127.0.0.1/pub/", &probe), DATE_UNSET);
    EXPECT_EQ(check_url("file://c/autoexec.bat", &probe), DATE_UNSET);
    EXPECT_EQ(check_url("gopher://127.0.0.1/1", &probe), DATE_UNSET);
}

#ifndef _WIN32
// Wine reports a connection reset by the peer as closed, and lets a blocking
// send to it wait on; the process limits are POSIX: these outcomes can only be
// produced natively.

TEST_F(CheckUrl, MarksAFailedReceiveBroken) {
    // The receive fails and leaves the reply empty.
    EXPECT_EQ(scripted("/reset"), DATE_BROKEN);
}

TEST_F(CheckUrl, KnowsNothingWhenTheRequestCannotBeSent) {
    // Far more than the socket buffers hold, to a server that resets the connection.
    std::string url = scripted_url("/reset/") + std::string(8 << 20, 'r');
    EXPECT_EQ(check_url(url.c_str(), &probe), DATE_UNSET);
}

TEST_F(CheckUrl, KnowsNothingWithoutASocket) {
    std::string url = scripted_url("/date/rfc1123");
    // One check first: the sanitizers' type checks need a descriptor of
    // their own the first time they meet a type, and there will be none.
    check_url(url.c_str(), &probe);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    uint32_t value = check_url(url.c_str(), &probe);
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(value, DATE_UNSET);
}
#endif

}  // namespace
