// URL splitting, redirect targets and host names in the form the network takes, alike natively (libidn2) and on Windows
// (IdnToAscii).
#include "checker/url.h"

#include <gtest/gtest.h>

#include <string>

#include "checker/host_ascii.h"
#include "tests/take_text.h"

namespace {

struct UrlCase {
    const char* text;
    int32_t scheme;
    const char* host;    // null: not probed
    const char* target;  // the request target
    uint16_t port;
};

const UrlCase url_cases[] = {
    {"http://www.example.com/a/b.html", SCHEME_HTTP, "www.example.com", "/a/b.html", 80},
    {"www.example.com", SCHEME_NONE, "www.example.com", "/", 80},
    {"localhost:8080/x/y", SCHEME_NONE, "localhost", "/x/y", 8080},
    {"HTTPS://user:pw@secure.example.com:8443", SCHEME_HTTP, "secure.example.com", "/", 8443},
    {"https://a.example/s?q=1&r=2#part", SCHEME_HTTP, "a.example", "/s?q=1&r=2", 443},
    {"http://a.example/~a b/[1]{2}|\"<>^`\\\xC3", SCHEME_HTTP, "a.example",
     "/~a%20b/[1]%7B2%7D%7C%22%3C%3E%5E%60%5C%C3", 80},
    {"http://a.example?x=1", SCHEME_HTTP, "a.example", "/?x=1", 80},
    {"  http://a.example/lead \r\n", SCHEME_HTTP, "a.example", "/lead", 80},
    {"mailto:someone@a.example", SCHEME_OTHER, nullptr, nullptr, 0},
    {"httpx://a.example/", SCHEME_OTHER, nullptr, nullptr, 0},
    {"http://[::1]/", SCHEME_OTHER, nullptr, nullptr, 0},
};

TEST(ParseUrl, SplitsHostPortAndRequestTarget) {
    for (const UrlCase& c : url_cases) {
        SCOPED_TRACE(c.text);
        ParsedUrl url;
        ASSERT_TRUE(parse_url(c.text, &url));
        EXPECT_EQ(url.scheme, c.scheme);
        EXPECT_STREQ(url.host, c.host);
        EXPECT_STREQ(url.path, c.target);
        EXPECT_EQ(url.port, c.port);
        free_parsed_url(&url);
    }
}

TEST(ParseUrl, RefusesUnusableAddresses) {
    for (const char* text : {static_cast<const char*>(nullptr), "", "http:a.example", "http://a.example:99999/",
                             "http://a.example:8o/", "http://a b/", "http://:80/"}) {
        ParsedUrl url;
        EXPECT_FALSE(parse_url(text, &url)) << (text ? text : "(null)");
        EXPECT_EQ(url.host, nullptr);
        free_parsed_url(&url);
    }
}

// Requested, Location, target: RFC 3986's own examples against its base, and the forms servers send.
const char* const location_cases[][3] = {
    {"http://a/b/c/d;p?q", "g", "http://a/b/c/g"},
    {"http://a/b/c/d;p?q", "/g", "http://a/g"},
    {"http://a/b/c/d;p?q", "?y", "http://a/b/c/d;p?y"},
    {"http://a/b/c/d;p?q", "#s", "http://a/b/c/d;p?q#s"},
    {"http://a/b/c/d;p?q", "..", "http://a/b/"},
    {"http://a/b/c/d;p?q", "../../../g", "http://a/g"},
    {"https://a.example:444/x", "//b.example/z", "https://b.example/z"},
    {"a.example:81/x/y", "z", "http://a.example:81/x/z"},
    {"http://a.example/x", "  HTTPS://B.example/ \r", "HTTPS://B.example/"},
};

TEST(ResolveLocation, ResolvesAsRfc3986Does) {
    for (const auto& c : location_cases) {
        EXPECT_EQ(take_text(resolve_location(c[0], c[1])), c[2]) << c[0] << " + " << c[1];
    }
}

TEST(HostAscii, ConvertsInternationalNamesAndKeepsAsciiOnes) {
    const struct {
        const char* host;
        const char* ascii;  // null: no valid name
    } cases[] = {
        {"bücher.example", "xn--bcher-kva.example"},
        {"BÜCHER.example", "xn--bcher-kva.example"},
        {"пример.рф", "xn--e1afmkfd.xn--p1ai"},
        {"b%C3%BCcher.example", "b%C3%BCcher.example"},
        {"Example.COM", "Example.COM"},
        {"a\xff.example", nullptr},
        {"\xc3", nullptr},
    };
    for (const auto& c : cases) {
        char* ascii = host_ascii(c.host);
        EXPECT_EQ(ascii != nullptr, c.ascii != nullptr) << c.host;
        EXPECT_EQ(take_text(ascii), c.ascii ? c.ascii : "") << c.host;
    }
}

}  // namespace
