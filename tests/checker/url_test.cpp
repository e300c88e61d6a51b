// Tests of URL splitting, decimal spans and redirect targets.
#include "checker/url.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

struct UrlCase {
    const char* text;
    int32_t scheme;
    const char* host;
    const char* path;  // null: none
    uint16_t port;
    bool port_written;
};

const UrlCase url_cases[] = {
    {"http://www.example.com/a/b.html", SCHEME_HTTP, "www.example.com", "/a/b.html", 80, false},
    {"www.example.com/a", SCHEME_NONE, "www.example.com", "/a", 80, false},
    {"http://example.com:8080/x/y", SCHEME_HTTP, "example.com", "/x/y", 8080, true},
    {"http://example.com", SCHEME_HTTP, "example.com", nullptr, 80, false},
    {"http://example.com/", SCHEME_HTTP, "example.com", "/", 80, false},
    {"http://example.com/s?q=1&r=2#part", SCHEME_HTTP, "example.com", "/s?q=1&r=2", 80, false},
    {"http://example.com/#top", SCHEME_HTTP, "example.com", "/", 80, false},
    {"ftp://ftp.example.com/pub", SCHEME_FTP, "ftp.example.com", "/pub", 21, false},
    {"file://c/readme.txt", SCHEME_FILE, "c", "/readme.txt", 0, false},
    {"https://secure.example.com/", SCHEME_HTTP, "secure.example.com", "/", 443, false},
    {"HTTPS://secure.example.com:8443/", SCHEME_HTTP, "secure.example.com", "/", 8443, true},
    {"HTTP://Example.COM/Mixed", SCHEME_HTTP, "Example.COM", "/Mixed", 80, false},
    {"gopher://example.com/1", SCHEME_OTHER, "example.com", "/1", 0, false},
    {"http://example.com/~user/page.html", SCHEME_HTTP, "example.com", "/", 80, false},
    {"http://example.com/docs~old", SCHEME_HTTP, "example.com", "/docs", 80, false},
    {"http://10.1.2.3:81", SCHEME_HTTP, "10.1.2.3", nullptr, 81, true},
    {"  http://example.com/lead", SCHEME_HTTP, "example.com", "/lead", 80, false},
    {"http://example.com:99999/", SCHEME_HTTP, "example.com", "/", 99999 & 0xFFFF, true},
    {"ht%41p://example.com/", SCHEME_OTHER, "example.com", "/", 0, false},
};

TEST(ParseUrl, SplitsSchemeHostPortAndPath) {
    for (const UrlCase& c : url_cases) {
        SCOPED_TRACE(c.text);
        ParsedUrl url;
        ASSERT_TRUE(parse_url(c.text, &url));
        EXPECT_EQ(url.scheme, c.scheme);
        EXPECT_STREQ(url.host, c.host);
        if (c.path) {
            EXPECT_STREQ(url.path, c.path);
        } else {
            EXPECT_EQ(url.path, nullptr);
        }
        EXPECT_EQ(url.port, c.port);
        EXPECT_EQ(url.port_written, c.port_written);
        free_parsed_url(&url);
    }
}

TEST(ParseUrl, RunsHttpsOverTls) {
    struct {
        const char* text;
        bool secure;
    } cases[] = {
        {"https://a.example/", true}, {"HTTPS://a.example/", true},  {"httpsx://a.example/", true},
        {"http://a.example/", false}, {"httpx://a.example/", false},
    };
    for (const auto& c : cases) {
        ParsedUrl url;
        ASSERT_TRUE(parse_url(c.text, &url));
        EXPECT_EQ(url.secure, c.secure) << c.text;
        EXPECT_EQ(url.scheme, SCHEME_HTTP) << c.text;
        free_parsed_url(&url);
    }
    ParsedUrl url;
    ASSERT_TRUE(parse_url("a.example/", &url));
    EXPECT_FALSE(url.secure);
    free_parsed_url(&url);
}

TEST(ParseUrl, RejectsMissingAndUnmatchedTextWithAZeroedRecord) {
    for (const char* text : {static_cast<const char*>(nullptr), "", "   ", "<>{}", "#"}) {
        ParsedUrl url;
        memset(&url, 0x5A, sizeof url);
        EXPECT_FALSE(parse_url(text, &url)) << (text ? text : "(null)");
        EXPECT_EQ(url.host, nullptr);
        EXPECT_EQ(url.path, nullptr);
        EXPECT_EQ(url.scheme, 0);
        EXPECT_EQ(url.port, 0);
        free_parsed_url(&url);
    }
}

TEST(ParseUrl, TakesTheFirstMatchInTheText) {
    ParsedUrl url;
    ASSERT_TRUE(parse_url("<<http://example.com/a b", &url));
    EXPECT_STREQ(url.host, "example.com");
    EXPECT_STREQ(url.path, "/a");
    free_parsed_url(&url);
}

TEST(ParseUrl, LongUrlsNeedNoDeepStack) {
    // A URL as long as the reply block; it is parsed on the checker thread.
    std::string text = "http://example.com/" + std::string(100000, 'a');
    ParsedUrl url;
    ASSERT_TRUE(parse_url(text.c_str(), &url));
    EXPECT_EQ(strlen(url.path), 100001u);
    free_parsed_url(&url);
}

TEST(ParseUrl, RandomAndTruncatedTextNeverCrashes) {
    std::mt19937 random(5);
    const std::string alphabet = "htp:/.a-z0~#%?&@ \t<>:9AFx";
    const std::string sample = "http://user@example.com:8080/a/b?c=d#e";
    for (int round = 0; round < 3000; round++) {
        std::string text;
        if (round % 2) {
            text = sample.substr(0, random() % (sample.size() + 1));
        } else {
            size_t length = random() % 40;
            for (size_t i = 0; i < length; i++) text += alphabet[random() % alphabet.size()];
        }
        ParsedUrl url;
        if (parse_url(text.c_str(), &url)) {
            ASSERT_NE(url.host, nullptr);
            EXPECT_GT(strlen(url.host), 0u);
        }
        free_parsed_url(&url);
    }
}

TEST(ParseDecimalSpan, ReadsTheDigitsOfASpan) {
    EXPECT_EQ(parse_decimal_span("ab1234cd", 2, 6), 1234u);
    EXPECT_EQ(parse_decimal_span("ab1234cd", 2, 3), 1u);
    EXPECT_EQ(parse_decimal_span("12", 1, 1), 0u);
    EXPECT_EQ(parse_decimal_span("12", 2, 1), 0u);
    EXPECT_EQ(parse_decimal_span("4294967295", 0, 10), 4294967295u);
}

struct LocationCase {
    const char* requested;
    const char* location;
    const char* target;
};

const LocationCase location_cases[] = {
    {"http://a.example/x/y", "http://b.example/z", "http://b.example/z"},
    {"http://a.example/x/y", "HTTPS://b.example/z", "HTTPS://b.example/z"},
    {"http://a.example:8080/x/y", "/new/path", "http://a.example:8080/new/path"},
    {"http://a.example/x/y", "page.html", "http://a.example/x/page.html"},
    {"http://a.example/x/", "page.html", "http://a.example/x/page.html"},
    {"http://a.example", "page.html", "http://a.example/page.html"},
    {"http://a.example/x/y?from=/q/r", "page.html", "http://a.example/x/page.html"},
    {"http://a.example/x/y?old", "?new", "http://a.example/x/y?new"},
    {"http://a.example", "?new", "http://a.example/?new"},
    {"https://a.example:444/x", "//b.example/z", "https://b.example/z"},
    {"a.example/x", "//b.example/z", "http://b.example/z"},
    {"a.example/x/y", "/z", "a.example/z"},
    {"http://a.example/x", "localhost:81/z", "http://a.example/localhost:81/z"},
};

TEST(ResolveLocation, ResolvesRelativeTargetsAgainstTheRequest) {
    for (const LocationCase& c : location_cases) {
        SCOPED_TRACE(std::string(c.requested) + " + " + c.location);
        char* target = resolve_location(c.requested, c.location);
        EXPECT_STREQ(target, c.target);
        free(target);
    }
}

}  // namespace
