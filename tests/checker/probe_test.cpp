// Whole checks against real servers on 127.0.0.1, plain and TLS: request lines and verdicts.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "checker/check_url.h"
#include "checker/net.h"
#include "checker/reply.h"
#include "core/bookmark.h"
#include "tests/checker/test_server.h"

namespace {

const uint32_t NOV_6_1994 = 784111777;
const ProbeSettings probe = {102, "32m", 5, 5};

class Probe : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(net_startup()); }
    static void TearDownTestSuite() { net_cleanup(); }
};

// A header of the reply that the server gave to one HEAD request.
std::string header_of(const std::string& url, const char* name) {
    char* reply = nullptr;
    EXPECT_EQ(http_request("HEAD", url.c_str(), &reply, &probe), HTTP_REPLY) << url;
    size_t length = 0;
    const char* value = reply ? find_header(reply, name, &length) : nullptr;
    std::string text = value ? std::string(value, length) : "(none)";
    free(reply);
    return text;
}

// The request line carries the target as parse_url gives it.
TEST_F(Probe, AsksForThePathAsWritten) {
    EXPECT_EQ(header_of(scripted_url("/a b?q=1#frag"), "X-Request-Line"), "HEAD /a%20b?q=1 HTTP/1.0");
}

std::string as_written(const char* url) { return url; }
std::string refused_url(const char* path) { return "http://127.0.0.1:" + std::to_string(closed_port()) + path; }
std::string no_tls_url(const char* path) {
    return "https://127.0.0.1:" + std::to_string(test_servers().scripted_port) + path;
}

struct ProbeCase {
    std::string (*server)(const char*);
    const char* path;
    CheckVerdict verdict;
    uint32_t value;
    const char* moved_to;  // the target's path on the same server, or null
    CheckError error;
};

const uint32_t B = DATE_BROKEN;
const uint32_t U = DATE_UNSET;
const CheckError NONE = CHECK_ERROR_NONE;

const ProbeCase probe_cases[] = {
    {scripted_url, "/date/rfc850", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/redirect/301/date/asctime", VERDICT_MOVED, NOV_6_1994, "/date/asctime", NONE},
    {scripted_url, "/redirect/308/redirect/302/no-date", VERDICT_MOVED, U, "/redirect/302/no-date", NONE},
    {scripted_url, "/redirect/302/redirect/301/date/rfc850", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/redirect/307/date/rfc850", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/redirect/301/status/404", VERDICT_GONE, B, nullptr, NONE},
    {scripted_url, "/chain/5", VERDICT_SERVER_ERROR, U, nullptr, CHECK_ERROR_REDIRECTS},
    {scripted_url, "/head-refused/400", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/head-refused/403", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/head-refused/405", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/head-refused/501", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/close-head", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/close", VERDICT_UNREACHABLE, B, nullptr, CHECK_ERROR_NO_REPLY},
    {scripted_url, "/split", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/to-tls/date/asctime", VERDICT_MOVED, NOV_6_1994, nullptr, NONE},
    {files_url, "/page.html", VERDICT_DATED, 1700000000, nullptr, NONE},
    {files_url, "/dir", VERDICT_MOVED, 1700000000, "/dir/", NONE},
    {tls_url, "/date/rfc1123", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {tls_url, "/moved-absolute-path", VERDICT_MOVED, NOV_6_1994, "/date/rfc850", NONE},
    {no_tls_url, "/", VERDICT_UNREACHABLE, B, nullptr, CHECK_ERROR_TLS},
    {refused_url, "/", VERDICT_UNREACHABLE, B, nullptr, CHECK_ERROR_NO_CONNECTION},
    {as_written, "http://nonexistent.invalid/", VERDICT_GONE, B, nullptr, CHECK_ERROR_NO_SUCH_HOST},
    {as_written, "http://127.0.0.1:99999/", VERDICT_GONE, B, nullptr, CHECK_ERROR_BAD_ADDRESS},
};

TEST_F(Probe, GivesTheVerdictOfEachAnswer) {
    ProbeSettings short_wait = probe;
    short_wait.wait_seconds = 1;
    for (const ProbeCase& c : probe_cases) {
        std::string url = c.server(c.path);
        CheckResult result;
        probe_url(url.c_str(), &short_wait, &result);
        EXPECT_EQ(verdict_name(result.verdict), std::string(verdict_name(c.verdict))) << url;
        EXPECT_EQ(result.value, c.value) << url;
        EXPECT_EQ(result.error, c.error) << url;
        EXPECT_TRUE(!c.moved_to || (result.target && result.target == c.server(c.moved_to))) << url;
        free_check_result(&result);
    }
}

TEST_F(Probe, HoldsOneDeadlineForTheWholeHeaders) {
    ProbeSettings short_wait = probe;
    short_wait.wait_seconds = 1;
    for (const char* path : {"/silent", "/drip/200/100"}) {
        std::string url = scripted_url(path);
        auto start = std::chrono::steady_clock::now();
        CheckResult result;
        probe_url(url.c_str(), &short_wait, &result);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(result.error, CHECK_ERROR_TIMED_OUT) << path;
        EXPECT_LT(seconds, 5) << path;  // not the drip's 20 seconds
        free_check_result(&result);
    }
    // A slow server that completes its headers in time is heard out.
    ProbeSettings longer = probe;
    longer.wait_seconds = 3;
    CheckResult result;
    probe_url(scripted_url("/drip/100/8").c_str(), &longer, &result);
    EXPECT_EQ(result.value, NOV_6_1994);
    free_check_result(&result);
}

}  // namespace
