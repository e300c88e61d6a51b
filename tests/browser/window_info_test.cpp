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
    const uint32_t N = BROWSER_NETSCAPE, I = BROWSER_IEXPLORE;
    const struct {
        uint32_t browser;
        const char *reply, *url, *title;  // url null: refused
    } cases[] = {
        // Netscape: the first "[" after the URL opens the title; later brackets belong to it.
        {N, "\"http://[::1]/\",\"Netscape - [A [b] c]\"", "http://[::1]/", "A [b] c"},
        {N, "\"http://a.example/\",\"Netscape\"", "http://a.example/", "<none>"},
        {N, "\"http://a.example/\",\"Netscape - []\"", "http://a.example/", ""},
        {N, "\"http://a.example/\",\"Netscape - [x", "http://a.example/", "<none>"},
        {N, "\"\",\"Netscape - [Empty]\"", "", "Empty"},
        // Internet Explorer: the title is the second field.
        {I, "\"http://a.example/x\",\"Page Title\",\"\"", "http://a.example/x", "Page Title"},
        {I, "\"http://a.example/x\",\"Unclosed title", "http://a.example/x", "Unclosed title"},
        {I, "\"http://a.example/x\",\"\"", "http://a.example/x", "<none>"},
        // Out of form, and other browsers.
        {N, "http://a.example/,\"Title\"", nullptr, nullptr},
        {I, "\"http://a.example/\"", nullptr, nullptr},
        {I, "\"http://a.example/\", \"Title\"", nullptr, nullptr},
        {N, "\",\"", nullptr, nullptr},  // the separator must follow the opening quote
        {BROWSER_AUTOMATIC, "\"http://a.example/\",\"Title\"", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.reply, c.browser);
        EXPECT_EQ(parsed.ok, c.url != nullptr) << c.reply;
        if (!c.url) continue;
        EXPECT_EQ(parsed.url + "|" + parsed.title, std::string(c.url) + "|" + c.title) << c.reply;
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
