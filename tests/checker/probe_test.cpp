// Whole checks against real servers on 127.0.0.1, plain and TLS: the request and the verdicts.
#include <gtest/gtest.h>

#include <string>

#include "checker/check_url.h"
#include "core/bookmark.h"
#include "tests/checker/test_server.h"
#include "tests/take_text.h"

namespace {

const uint32_t NOV_6_1994 = 784111777;
const ProbeSettings probe = {102, "32m", 1, 5};

// The target as parse_url gives it, the port in Host only when written, and the probe's version.
TEST(Probe, FormatsTheRequest) {
    ParsedUrl url;
    ASSERT_TRUE(parse_url("http://a.example:8080/a b?q=1#frag", &url));
    EXPECT_EQ(take_text(format_request("HEAD", &url, &probe)),
              "HEAD /a%20b?q=1 HTTP/1.0\r\nHost: a.example:8080\r\nUser-Agent: Tessfold Ravozorizi v1.2.32m\r\n\r\n");
    free_parsed_url(&url);
}

TEST(Probe, GivesTheVerdictOfEachAnswer) {
    const TestServers& ports = test_servers();
    const std::string s = "http://127.0.0.1:" + std::to_string(ports.scripted_port);
    const std::string tls = "https://127.0.0.1:" + std::to_string(ports.tls_port);
    const std::string refused = "http://127.0.0.1:" + std::to_string(ports.closed_port);
    const std::string no_tls = "https://127.0.0.1:" + std::to_string(ports.scripted_port);
    const uint32_t B = DATE_BROKEN, U = DATE_UNSET;
    const CheckError NONE = CHECK_ERROR_NONE;
    const struct {
        std::string url;
        CheckVerdict verdict;
        uint32_t value;
        std::string moved_to;
        CheckError error;
    } cases[] = {
        // waiting one second for the headers
        {s + "/redirect/301/date/asctime", VERDICT_MOVED, NOV_6_1994, s + "/date/asctime", NONE},
        {s + "/redirect/308/redirect/302/status/200", VERDICT_MOVED, U, s + "/redirect/302/status/200", NONE},
        {s + "/redirect/302/redirect/301/date/rfc850", VERDICT_DATED, NOV_6_1994, "", NONE},
        {s + "/redirect/301/status/404", VERDICT_GONE, B, "", NONE},
        {s + "/redirect/302/redirect/302/redirect/302/redirect/302/redirect/302/status/200", VERDICT_SERVER_ERROR, U,
         "", CHECK_ERROR_REDIRECTS},
        {s + "/head-refused/400", VERDICT_DATED, NOV_6_1994, "", NONE},
        {s + "/head-refused/501", VERDICT_DATED, NOV_6_1994, "", NONE},
        {s + "/close-head", VERDICT_DATED, NOV_6_1994, "", NONE},
        {s + "/close", VERDICT_UNREACHABLE, B, "", CHECK_ERROR_NO_REPLY},
        // One deadline for the whole headers: a drip of 20 seconds times out, one of 0.3 seconds is heard out.
        {s + "/drip/200/100", VERDICT_UNREACHABLE, B, "", CHECK_ERROR_TIMED_OUT},
        {s + "/drip/50/6", VERDICT_DATED, NOV_6_1994, "", NONE},
        {tls + "/redirect/301/date/rfc850", VERDICT_MOVED, NOV_6_1994, tls + "/date/rfc850", NONE},
        {no_tls + "/", VERDICT_UNREACHABLE, B, "", CHECK_ERROR_TLS},
        {refused + "/", VERDICT_UNREACHABLE, B, "", CHECK_ERROR_NO_CONNECTION},
        {"http://nonexistent.invalid/", VERDICT_UNREACHABLE, B, "", CHECK_ERROR_NO_SUCH_HOST},
        {"http://127.0.0.1:99999/", VERDICT_GONE, B, "", CHECK_ERROR_BAD_ADDRESS},
    };
    for (const auto& c : cases) {
        CheckResult result;
        probe_url(c.url.c_str(), &probe, &result);
        EXPECT_EQ(verdict_name(result.verdict), std::string(verdict_name(c.verdict))) << c.url;
        EXPECT_EQ(result.value, c.value) << c.url;
        EXPECT_EQ(result.error, c.error) << c.url;
        EXPECT_EQ(result.target ? result.target : "", c.moved_to) << c.url;
        free_check_result(&result);
    }
}

}  // namespace
