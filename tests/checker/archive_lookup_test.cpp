// The web archive's availability service: the question, canned answers, and the scripted server's answers, which
// the looked-up URL chooses.
#include "checker/archive_lookup.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/checker/test_server.h"
#include "tests/take_text.h"

namespace {

const ProbeSettings probe = {102, "32m", 5, 5};

std::string text_or_null(char* text) { return text ? take_text(text) : "(null)"; }

TEST(ArchiveLookup, AsksForTheMomentInUtcWithTheUrlEncoded) {
    const struct {
        const char* service;
        const char* url;
        uint32_t moment;
        const char* query;
    } cases[] = {
        {"https://archive.org/wayback/available", "http://example.com/a b?q=1&r=2#x", 1000000000,
         "https://archive.org/wayback/available?url=http%3A%2F%2Fexample.com%2Fa%20b%3Fq%3D1%26r%3D2%23x"
         "&timestamp=20010909014640"},
        {"http://s/avail?key=k", "http://b\xc3\xbc.example/~a-b_c.d", 951782400,  // the leap day of 2000
         "http://s/avail?key=k&url=http%3A%2F%2Fb%C3%BC.example%2F~a-b_c.d&timestamp=20000229000000"},
        {"http://s/", "x", 1, "http://s/?url=x&timestamp=19700101000001"},
        {"http://s/", "x", 0xFFFFFFFFu, "http://s/?url=x&timestamp=21060207062815"},
    };
    for (const auto& c : cases) EXPECT_EQ(take_text(archive_query(c.service, c.url, c.moment)), c.query);
}

TEST(ArchiveLookup, TakesOnlyAnAvailableWebAddress) {
    const std::string found = "http://web.archive.org/web/20130919044612/http://example.com/";
    const struct {
        std::string json;
        std::string snapshot;
    } cases[] = {
        {R"({"archived_snapshots":{"closest":{"available":true,"url":")" + found +
             R"(","timestamp":"20130919044612","status":"200"}}})",
         found},
        {R"({"archived_snapshots":{"closest":{"url":"HTTPS://w.example/x","available":true}}})", "HTTPS://w.example/x"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/","status":"302"}}})", "http://w/"},
        {R"({"archived_snapshots":{}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":false,"url":"http://w/"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":"true","url":"http://w/"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":7}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/","status":"404"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/","status":200}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"ftp://w/x"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"javascript:history.back"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http:///x"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/a b"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/\u0000x"}}})", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/)" + std::string(2040, 'a') + "\"}}}",
         "(null)"},
        {R"([{"archived_snapshots":{}}])", "(null)"},
        {R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/"}})", "(null)"},  // cut short
        {"<html>Service unavailable</html>", "(null)"},
        {std::string(100000, '['), "(null)"},
        {"", "(null)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text_or_null(archived_snapshot(c.json.data(), c.json.size())), c.snapshot) << c.json.substr(0, 200);
    }
}

// The outcome says whether the service answered at all.
TEST(ArchiveLookup, AsksTheServiceAndTrustsOnlyTheExpectedAnswer) {
    const std::string service = scripted_url("/wayback/available");
    const std::string down = "http://127.0.0.1:" + std::to_string(test_servers().closed_port) + "/wayback/available";
    const struct {
        std::string service;
        const char* url;
        int outcome;
        std::string snapshot;
    } cases[] = {
        {service, "http://gone.example/page", HTTP_REPLY,
         "http://web.archive.org/web/20010909014640/http://gone.example/page"},
        {service, "http://gone.example/archive-none", HTTP_REPLY, "(null)"},
        {service, "http://gone.example/archive-500", HTTP_REPLY, "(null)"},
        {service, "http://gone.example/archive-garbage", HTTP_REPLY, "(null)"},
        {service, "http://gone.example/archive-ftp", HTTP_REPLY, "(null)"},
        {down, "http://gone.example/page", HTTP_NO_CONNECTION, "(null)"},
        {"https://127.0.0.1:" + std::to_string(test_servers().tls_port) + "/wayback/available",
         "http://gone.example/tls", HTTP_REPLY, "http://web.archive.org/web/20010909014640/http://gone.example/tls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        char* snapshot;
        EXPECT_EQ(find_archived_copy(c.service.c_str(), c.url, 1000000000, &probe, &snapshot), c.outcome);
        EXPECT_EQ(text_or_null(snapshot), c.snapshot);
    }
}

}  // namespace
