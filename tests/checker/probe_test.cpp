// Whole checks against real servers on 127.0.0.1, plain and TLS: the request and the verdicts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

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
    const std::string s = scripted_url("");
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
        {"http://localhost:" + std::to_string(ports.scripted_port) + "/date/asctime", VERDICT_DATED, NOV_6_1994, "",
         NONE},
        {"http://127.0.0.1:99999/", VERDICT_GONE, B, "", CHECK_ERROR_BAD_ADDRESS},
        {"http://a\xff.example/", VERDICT_GONE, B, "", CHECK_ERROR_BAD_ADDRESS},
        // headers that fill the reply block to its limit, and past it
        {s + "/fill/" + std::to_string(REPLY_LIMIT), VERDICT_OK, U, "", NONE},
        {tls + "/fill/" + std::to_string(REPLY_LIMIT + 1), VERDICT_OK, U, "", NONE},
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

NetLookup look_up_on_loopback(void* context, const char* host, uint32_t* address) {
    *static_cast<std::string*>(context) = host;
    *address = 0x0100007F;  // 127.0.0.1 in network byte order
    return NET_FOUND;
}

TEST(Probe, LooksUpAndSendsTheIdnaFormOfTheHost) {
    const std::string port = std::to_string(test_servers().scripted_port);
    std::string looked_up;
    ProbeSettings settings = probe;
    settings.resolve = look_up_on_loopback;
    settings.resolve_context = &looked_up;
    char* reply;
    ASSERT_EQ(http_request("GET", ("http://пример.рф:" + port + "/host").c_str(), &reply, &settings), HTTP_REPLY);
    EXPECT_EQ(looked_up, "xn--e1afmkfd.xn--p1ai");
    EXPECT_NE(strstr(reply, ("\r\nX-Host: xn--e1afmkfd.xn--p1ai:" + port + "\r\n").c_str()), nullptr) << reply;
    free(reply);
}

// Stop ends a probe waiting for its answer at once, plain or over TLS, and closes its connection; a fired abort fails
// every later request until it is reset.
TEST(Probe, AnAbortEndsTheWaitAndClosesTheConnection) {
    const std::string bases[] = {scripted_url(""), "https://127.0.0.1:" + std::to_string(test_servers().tls_port)};
    NetAbort* abort = net_abort_create();
    ProbeSettings settings = probe;
    settings.wait_seconds = 120;  // far beyond the test: only the abort ends the wait
    settings.abort = abort;
    for (const std::string& base : bases) {
        int outcome = HTTP_REPLY;
        char* reply;
        std::thread prober([&] { outcome = http_request("GET", (base + "/hold/aborted").c_str(), &reply, &settings); });
        EXPECT_TRUE(servers_hold({base}, 1)) << base;
        net_abort_fire(abort);
        prober.join();
        EXPECT_EQ(outcome, HTTP_ABORTED) << base;
        EXPECT_EQ(reply, nullptr);
        EXPECT_TRUE(servers_hold({base}, 0)) << base;
        EXPECT_EQ(http_request("GET", (base + "/status/200").c_str(), &reply, &settings), HTTP_ABORTED) << base;
        net_abort_reset(abort);
        EXPECT_EQ(http_request("GET", (base + "/status/200").c_str(), &reply, &settings), HTTP_REPLY) << base;
        free(reply);
    }
    net_abort_free(abort);
}

}  // namespace
