// The window-info replies of both browsers, well formed, odd and hostile.
#include "browser/window_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "browser/browser_id.h"

namespace {

struct Parsed {
    bool ok;
    std::string url;
    std::string title;  // "<none>" for a null title
};

Parsed parse(const std::string& reply, uint32_t browser) {
    char* url = reinterpret_cast<char*>(1);
    char* title = reinterpret_cast<char*>(1);
    Parsed parsed;
    parsed.ok = parse_window_info(reply.c_str(), browser, &url, &title);
    EXPECT_EQ(url != nullptr, parsed.ok);
    EXPECT_TRUE(parsed.ok || !title);
    parsed.url = url ? url : "<none>";
    parsed.title = title ? title : "<none>";
    free(url);
    free(title);
    return parsed;
}

}  // namespace

TEST(WindowInfo, RepliesOfBothBrowsers) {
    const uint32_t N = BROWSER_NETSCAPE, I = BROWSER_IEXPLORE, BOTH = 99;
    const struct {
        uint32_t browser;
        const char* reply;
        bool ok;
        const char* url;
        const char* title;
    } cases[] = {
        // Netscape: the title is in the caption's brackets; the first "[" after
        // the URL opens it, later brackets belong to it.
        {N, "\"http://a.example/x\",\"Netscape - [Page Title]\"", true, "http://a.example/x", "Page Title"},
        {N, "\"http://a.example/\",\"Netscape - [A [b] c]\"", true, "http://a.example/", "A [b] c"},
        {N, "\"http://[::1]/\",\"Netscape - [Local]\"", true, "http://[::1]/", "Local"},
        {N, "\"http://a.example/\",\"Netscape\"", true, "http://a.example/", "<none>"},
        {N, "\"http://a.example/\",\"Netscape - [\"", true, "http://a.example/", "<none>"},
        {N, "\"http://a.example/\",\"Netscape - []\"", true, "http://a.example/", ""},
        {N, "\"http://a.example/\",\"Netscape - [x", true, "http://a.example/", "<none>"},
        {N, "\"\",\"Netscape - [Empty]\"", true, "", "Empty"},
        // Internet Explorer: the title is the second field.
        {I, "\"http://a.example/x\",\"Page Title\"", true, "http://a.example/x", "Page Title"},
        {I, "\"http://a.example/x\",\"Page Title\",\"\"", true, "http://a.example/x", "Page Title"},
        {I, "\"http://a.example/x\",\"Unclosed title", true, "http://a.example/x", "Unclosed title"},
        {I, "\"http://a.example/x\",\"\"", true, "http://a.example/x", "<none>"},
        {I, "\"http://a.example/x\",\"", true, "http://a.example/x", "<none>"},
        // Out of form for both, and other browsers.
        {BOTH, "", false, "", ""},
        {BOTH, "http://a.example/,\"Title\"", false, "", ""},
        {BOTH, "\"http://a.example/\"", false, "", ""},
        {BOTH, "\"http://a.example/\", \"Title\"", false, "", ""},
        {BOTH, "\"", false, "", ""},
        {BOTH, "\",\"", false, "", ""},  // the separator must follow the opening quote
        {BOTH, " \"http://a.example/\",\"Title\"", false, "", ""},
        {BROWSER_UNKNOWN, "\"http://a.example/\",\"Title\"", false, "", ""},
        {BROWSER_AUTOMATIC, "\"http://a.example/\",\"Title\"", false, "", ""},
    };
    for (const auto& c : cases) {
        for (uint32_t browser : {N, I, BROWSER_UNKNOWN, BROWSER_AUTOMATIC}) {
            if (c.browser != browser && (c.browser != BOTH || browser > I)) continue;
            SCOPED_TRACE(testing::Message() << browser << " " << c.reply);
            Parsed parsed = parse(c.reply, browser);
            EXPECT_EQ(parsed.ok, c.ok);
            if (!c.ok) continue;
            EXPECT_EQ(parsed.url, c.url);
            EXPECT_EQ(parsed.title, c.title);
        }
    }
}

TEST(WindowInfo, RandomAndTruncatedRepliesNeverCrash) {
    std::mt19937 random(20261206);
    const std::string good = "\"http://a.example/p?q=1\",\"Netscape - [Some [Page]]\"";
    const char alphabet[] = "\"\",[]x ";
    for (int round = 0; round < 20000; round++) {
        std::string reply;
        if (round % 2) {
            reply = good.substr(0, random() % (good.size() + 1));
            if (!reply.empty()) reply[random() % reply.size()] = alphabet[random() % 7];
        } else {
            for (size_t length = random() % 24; length > 0; length--) reply += alphabet[random() % 7];
        }
        for (uint32_t browser : {BROWSER_NETSCAPE, BROWSER_IEXPLORE}) {
            Parsed parsed = parse(reply, browser);
            // Whatever is taken out of the reply lies inside it.
            if (!parsed.ok) continue;
            EXPECT_NE(reply.find(parsed.url), std::string::npos);
            EXPECT_TRUE(parsed.title == "<none>" || reply.find(parsed.title) != std::string::npos);
        }
    }
}
