// The window-info replies of both browsers, well formed, odd and hostile.
#include "browser/window_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "browser/browser_id.h"

namespace {

// "URL|title" ("<none>" for a null title), or "refused"; what is taken out lies
// inside the reply, and a refusal leaves no text behind.
std::string parse(const char* reply, uint32_t browser) {
    char* url = reinterpret_cast<char*>(1);
    char* title = reinterpret_cast<char*>(1);
    const bool ok = parse_window_info(reply, browser, &url, &title);
    EXPECT_TRUE(ok ? url && strstr(reply, url) && (!title || strstr(reply, title)) : !url && !title) << reply;
    const std::string parsed = ok ? std::string(url) + "|" + (title ? title : "<none>") : "refused";
    free(url);
    free(title);
    return parsed;
}

}  // namespace

TEST(WindowInfo, RepliesOfBothBrowsers) {
    const uint32_t N = BROWSER_NETSCAPE, I = BROWSER_IEXPLORE;
    const struct {
        uint32_t browser;
        const char *reply, *parsed;
    } cases[] = {
        // Netscape: the first "[" after the URL opens the title; later brackets belong to it.
        {N, "\"http://[::1]/\",\"Netscape - [A [b] c]\"", "http://[::1]/|A [b] c"},
        {N, "\"http://a.example/\",\"Netscape\"", "http://a.example/|<none>"},
        {N, "\"\",\"Netscape - []\"", "|"},
        {I, "\"http://a.example/x\",\"Page Title\",\"\"", "http://a.example/x|Page Title"},
        {I, "\"http://a.example/x\",\"Unclosed title", "http://a.example/x|Unclosed title"},
        {I, "\"http://a.example/x\",\"\"", "http://a.example/x|<none>"},
        {N, "http://a.example/,\"Title\"", "refused"},
        {I, "\"http://a.example/\"", "refused"},
        {N, "\",\"", "refused"},  // the separator must follow the opening quote
        {BROWSER_AUTOMATIC, "\"http://a.example/\",\"Title\"", "refused"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.reply, c.browser), c.parsed) << c.reply;
}

TEST(WindowInfo, RandomRepliesNeverCrash) {
    std::mt19937 random(20261206);
    for (int round = 0; round < 20000; round++) {
        std::string reply;
        for (size_t length = random() % 24; length > 0; length--) reply += "\"\",[]x "[random() % 7];
        parse(reply.c_str(), BROWSER_NETSCAPE);
        parse(reply.c_str(), BROWSER_IEXPLORE);
    }
}
