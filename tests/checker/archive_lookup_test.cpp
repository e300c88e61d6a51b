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

// An answer with the object as its closest snapshot.
std::string closest(const std::string& object) { return R"({"archived_snapshots":{"closest":)" + object + "}}"; }

TEST(ArchiveLookup, TakesOnlyAnAvailableWebAddress) {
    const std::string found = "http://web.archive.org/web/20130919044612/http://example.com/";
    const std::string accepted[][2] = {
        {closest(R"({"available":true,"url":")" + found + R"(","timestamp":"20130919044612","status":"200"})"), found},
        {closest(R"({"url":"HTTPS://w.example/x","available":true})"), "HTTPS://w.example/x"},
        {closest(R"({"available":true,"url":"http://w/","status":"302"})"), "http://w/"},
    };
    for (const auto& c : accepted) EXPECT_EQ(text_or_null(archived_snapshot(c[0].data(), c[0].size())), c[1]) << c[0];
    const std::string refused[] = {
        R"({"archived_snapshots":{}})",
        closest(R"({"available":false,"url":"http://w/"})"),
        closest(R"({"available":"true","url":"http://w/"})"),
        closest(R"({"available":true})"),
        closest(R"({"available":true,"url":7})"),
        closest(R"({"available":true,"url":"http://w/","status":"404"})"),
        closest(R"({"available":true,"url":"http://w/","status":200})"),
        closest(R"({"available":true,"url":"ftp://w/x"})"),
        closest(R"({"available":true,"url":"javascript:history.back"})"),
        closest(R"({"available":true,"url":"http:///x"})"),
        closest(R"({"available":true,"url":"http://w/a b"})"),
        closest(R"({"available":true,"url":"http://w/\u0000x"})"),
        closest(R"({"available":true,"url":"http://w/)" + std::string(2040, 'a') + "\"}"),
        R"([{"archived_snapshots":{}}])",
        R"({"archived_snapshots":{"closest":{"available":true,"url":"http://w/"}})",  // cut short
        "<html>Service unavailable</html>",
        std::string(100000, '['),
        "",
    };
    for (const std::string& json : refused) {
        EXPECT_EQ(archived_snapshot(json.data(), json.size()), nullptr) << json.substr(0, 200);
    }
}

// The outcome says whether the service answered at all; only its expected answer is trusted.
TEST(ArchiveLookup, AsksTheService) {
    const std::string copy = "http://web.archive.org/web/20010909014640/";
    const struct {
        std::string service;
        const char* url;
        int outcome;
        std::string snapshot;
    } cases[] = {
        {scripted_url("/wayback/available"), "http://gone.example/page", HTTP_REPLY, copy + "http://gone.example/page"},
        {scripted_url("/wayback/available"), "http://gone.example/archive-500", HTTP_REPLY, "(null)"},
        {"http://127.0.0.1:" + std::to_string(test_servers().closed_port) + "/wayback/available",
         "http://gone.example/page", HTTP_NO_CONNECTION, "(null)"},
        {"https://127.0.0.1:" + std::to_string(test_servers().tls_port) + "/wayback/available",
         "http://gone.example/tls", HTTP_REPLY, copy + "http://gone.example/tls"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        char* snapshot;
        EXPECT_EQ(find_archived_copy(c.service.c_str(), c.url, 1000000000, &probe, &snapshot), c.outcome);
        EXPECT_EQ(text_or_null(snapshot), c.snapshot);
    }
}

}  // namespace
