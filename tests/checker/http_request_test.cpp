// Tests of the request text and of the exchange with real servers on 127.0.0.1.
#include "checker/http_request.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/net.h"
#include "tests/checker/test_server.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

const ProbeSettings probe = {102, "32m", 5};

std::string request_for(const char* method, const char* url) {
    ParsedUrl parsed;
    EXPECT_TRUE(parse_url(url, &parsed));
    char* text = format_request(method, &parsed, &probe);
    std::string request = text;
    free(text);
    free_parsed_url(&parsed);
    return request;
}

// The result of http_request and the reply, freed here.
struct Exchange {
    int result;
    std::string reply;
    bool has_reply;
};

Exchange exchange(const char* method, const std::string& url, const ProbeSettings& settings = probe) {
    char* reply = reinterpret_cast<char*>(1);
    Exchange e;
    e.result = http_request(method, url.c_str(), &reply, &settings);
    e.has_reply = reply != nullptr;
    if (reply) {
        e.reply = reply;
        free(reply);
    }
    return e;
}

class HttpRequest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(net_startup()); }
    static void TearDownTestSuite() { net_cleanup(); }
};

TEST(FormatRequest, NamesHostAndAgentAfterTheRequestLine) {
    EXPECT_EQ(request_for("HEAD", "http://example.com"),
              "HEAD / HTTP/1.0\r\nHost: example.com\r\nUser-Agent: Tessfold Ravozorizi v1.2.32m\r\n\r\n");
    EXPECT_EQ(request_for("GET", "Example.com:8080/a/b?c=d#e"),
              "GET /a/b?c=d HTTP/1.0\r\nHost: Example.com:8080\r\n"
              "User-Agent: Tessfold Ravozorizi v1.2.32m\r\n\r\n");
    EXPECT_EQ(request_for("HEAD", "http://example.com/~user/"),
              "HEAD / HTTP/1.0\r\nHost: example.com\r\nUser-Agent: Tessfold Ravozorizi v1.2.32m\r\n\r\n");
}

TEST(FormatRequest, SendsLongPathsWhole) {
    std::string path = "/" + std::string(5000, 'p');
    std::string request = request_for("HEAD", ("http://example.com" + path).c_str());
    EXPECT_EQ(request.compare(0, 5 + path.size(), "HEAD " + path), 0);
    EXPECT_EQ(request.substr(request.size() - 4), "\r\n\r\n");
}

TEST_F(HttpRequest, SendsTheRequestToTheServer) {
    Exchange e = exchange("HEAD", scripted_url("/echo?x=1#fragment"));
    ASSERT_EQ(e.result, HTTP_REPLY);
    char expected[256];
    snprintf(expected, sizeof expected,
             "\r\n\r\nHEAD /echo?x=1 HTTP/1.0\r\nHost: 127.0.0.1:%u\r\n"
             "User-Agent: Tessfold Ravozorizi v1.2.32m\r\n\r\n",
             test_servers().scripted_port);
    EXPECT_NE(e.reply.find(expected), std::string::npos) << e.reply;
    EXPECT_EQ(e.reply.find("fragment"), std::string::npos);
}

TEST_F(HttpRequest, SendsTheSameRequestOverTls) {
    Exchange e = exchange("HEAD", tls_url("/echo"));
    ASSERT_EQ(e.result, HTTP_REPLY);
    char expected[256];
    snprintf(expected, sizeof expected,
             "\r\n\r\nHEAD /echo HTTP/1.0\r\nHost: 127.0.0.1:%u\r\n"
             "User-Agent: Tessfold Ravozorizi v1.2.32m\r\n\r\n",
             test_servers().tls_port);
    EXPECT_NE(e.reply.find(expected), std::string::npos) << e.reply;
}

TEST_F(HttpRequest, ReturnsTheHeadersOfARealServer) {
    Exchange e = exchange("HEAD", files_url("/page.html"));
    ASSERT_EQ(e.result, HTTP_REPLY);
    EXPECT_EQ(e.reply.compare(0, 15, "HTTP/1.0 200 OK"), 0) << e.reply;
    EXPECT_NE(e.reply.find("Last-Modified: Tue, 14 Nov 2023 22:13:20 GMT"), std::string::npos);
}

TEST_F(HttpRequest, CutsLongRepliesAtTheLimit) {
    Exchange e = exchange("HEAD", scripted_url("/long"));
    ASSERT_EQ(e.result, HTTP_REPLY);
    EXPECT_EQ(e.reply.size(), REPLY_LIMIT);
}

TEST_F(HttpRequest, ReadsHeadersThatArriveAfterTheStatusLine) {
    Exchange e = exchange("HEAD", scripted_url("/split"));
    ASSERT_EQ(e.result, HTTP_REPLY);
    EXPECT_NE(e.reply.find("Last-Modified:"), std::string::npos) << e.reply;
}

TEST_F(HttpRequest, ReportsAnEmptyReply) {
    Exchange e = exchange("HEAD", scripted_url("/close"));
    EXPECT_EQ(e.result, HTTP_EMPTY_REPLY);
    EXPECT_FALSE(e.has_reply);
}

#ifndef _WIN32
// Wine reports a connection reset by the peer as closed.
TEST_F(HttpRequest, AFailedReceiveGivesAnEmptyReply) {
    Exchange e = exchange("HEAD", scripted_url("/reset"));
    EXPECT_EQ(e.result, HTTP_REPLY);
    EXPECT_EQ(e.reply, "");
}
#endif

TEST_F(HttpRequest, GivesUpOnASilentServer) {
    ProbeSettings short_wait = probe;
    short_wait.wait_seconds = 1;
    Exchange e = exchange("HEAD", scripted_url("/silent"), short_wait);
    EXPECT_EQ(e.result, HTTP_NO_ANSWER);
    EXPECT_FALSE(e.has_reply);
}

TEST_F(HttpRequest, ReportsARefusedConnection) {
    char url[64];
    snprintf(url, sizeof url, "http://127.0.0.1:%u/", closed_port());
    EXPECT_EQ(exchange("HEAD", url).result, HTTP_NO_ANSWER);
}

TEST_F(HttpRequest, ReportsUnusableAddresses) {
    EXPECT_EQ(exchange("HEAD", "").result, HTTP_BAD_ADDRESS);
    EXPECT_EQ(exchange("HEAD", "<>").result, HTTP_BAD_ADDRESS);
    EXPECT_EQ(exchange("HEAD", "http://nonexistent.invalid/").result, HTTP_BAD_ADDRESS);
}

TEST_F(HttpRequest, LeavesOtherSchemesAloneBeforeAnyLookup) {
    // The host is unknown: a lookup would have given HTTP_BAD_ADDRESS.
    for (const char* url :
         {"ftp://nonexistent.invalid/pub", "file://nonexistent.invalid/x", "gopher://nonexistent.invalid/1"}) {
        EXPECT_EQ(exchange("HEAD", url).result, HTTP_SCHEME_NOT_PROBED) << url;
    }
}

#ifndef _WIN32
TEST_F(HttpRequest, ReportsThatNoSocketCanBeMade) {
    std::string url = scripted_url("/echo");
    // One exchange first: the sanitizers' type checks need a descriptor of
    // their own the first time they meet a type, and there will be none.
    exchange("HEAD", url);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    int result = exchange("HEAD", url).result;
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(result, HTTP_SOCKET_FAILURE);
}
#endif

}  // namespace
