// Whole checks against real servers on 127.0.0.1, plain and TLS: request lines and verdicts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "checker/check_url.h"
#include "checker/reply.h"
#include "core/bookmark.h"
#include "tests/checker/test_server.h"

namespace {

const uint32_t NOV_6_1994 = 784111777;
const ProbeSettings probe = {102, "32m", 1, 5};

// The request line carries the target as parse_url gives it.
TEST(Probe, AsksForThePathAsWritten) {
    char* reply = nullptr;
    ASSERT_EQ(http_request("HEAD", scripted_url("/a b?q=1#frag").c_str(), &reply, &probe), HTTP_REPLY);
    size_t length = 0;
    const char* line = find_header(reply, "X-Request-Line", &length);
    EXPECT_EQ(std::string(line, line ? length : 0), "HEAD /a%20b?q=1 HTTP/1.0");
    free(reply);
}

std::string as_written(const char* url) { return url; }
std::string refused_url(const char* path) {
    return "http://127.0.0.1:" + std::to_string(test_servers().closed_port) + path;
}
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

// Waiting one second for the headers.
const ProbeCase probe_cases[] = {
    {scripted_url, "/date/rfc850", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/redirect/301/date/asctime", VERDICT_MOVED, NOV_6_1994, "/date/asctime", NONE},
    {scripted_url, "/redirect/308/redirect/302/status/200", VERDICT_MOVED, U, "/redirect/302/status/200", NONE},
    {scripted_url, "/redirect/302/redirect/301/date/rfc850", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/redirect/307/date/rfc850", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/redirect/301/status/404", VERDICT_GONE, B, nullptr, NONE},
    {scripted_url, "/redirect/302/redirect/302/redirect/302/redirect/302/redirect/302/status/200", VERDICT_SERVER_ERROR,
     U, nullptr, CHECK_ERROR_REDIRECTS},
    {scripted_url, "/head-refused/400", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/head-refused/403", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/head-refused/405", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/head-refused/501", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/close-head", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/close", VERDICT_UNREACHABLE, B, nullptr, CHECK_ERROR_NO_REPLY},
    // One deadline for the whole headers: a drip of 20 seconds times out, one of 0.3 seconds is heard out.
    {scripted_url, "/drip/200/100", VERDICT_UNREACHABLE, B, nullptr, CHECK_ERROR_TIMED_OUT},
    {scripted_url, "/drip/50/6", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {scripted_url, "/to-tls/date/asctime", VERDICT_MOVED, NOV_6_1994, nullptr, NONE},
    {tls_url, "/date/rfc1123", VERDICT_DATED, NOV_6_1994, nullptr, NONE},
    {tls_url, "/redirect/301/date/rfc850", VERDICT_MOVED, NOV_6_1994, "/date/rfc850", NONE},
    {no_tls_url, "/", VERDICT_UNREACHABLE, B, nullptr, CHECK_ERROR_TLS},
    {refused_url, "/", VERDICT_UNREACHABLE, B, nullptr, CHECK_ERROR_NO_CONNECTION},
    {as_written, "http://nonexistent.invalid/", VERDICT_GONE, B, nullptr, CHECK_ERROR_NO_SUCH_HOST},
    {as_written, "http://127.0.0.1:99999/", VERDICT_GONE, B, nullptr, CHECK_ERROR_BAD_ADDRESS},
};

TEST(Probe, GivesTheVerdictOfEachAnswer) {
    for (const ProbeCase& c : probe_cases) {
        std::string url = c.server(c.path);
        CheckResult result;
        probe_url(url.c_str(), &probe, &result);
        EXPECT_EQ(verdict_name(result.verdict), std::string(verdict_name(c.verdict))) << url;
        EXPECT_EQ(result.value, c.value) << url;
        EXPECT_EQ(result.error, c.error) << url;
        EXPECT_TRUE(!c.moved_to || (result.target && result.target == c.server(c.moved_to))) << url;
        free_check_result(&result);
    }
}

}  // namespace
