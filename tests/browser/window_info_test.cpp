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
    if (!parsed.ok) {
        EXPECT_EQ(url, nullptr);
        EXPECT_EQ(title, nullptr);
    } else {
        EXPECT_NE(url, nullptr);
    }
    parsed.url = url ? url : "<none>";
    parsed.title = title ? title : "<none>";
    free(url);
    free(title);
    return parsed;
}

struct Case {
    const char* reply;
    bool ok;
    const char* url;
    const char* title;
};

void check_table(const Case* cases, size_t count, uint32_t browser) {
    for (size_t i = 0; i < count; i++) {
        SCOPED_TRACE(cases[i].reply);
        Parsed parsed = parse(cases[i].reply, browser);
        EXPECT_EQ(parsed.ok, cases[i].ok);
        if (parsed.ok) {
            EXPECT_EQ(parsed.url, cases[i].url);
            EXPECT_EQ(parsed.title, cases[i].title);
        }
    }
}

}  // namespace

TEST(WindowInfo, NetscapeTitleComesFromTheBracketedCaption) {
    const Case cases[] = {
        {"\"http://a.example/x\",\"Netscape - [Page Title]\"", true, "http://a.example/x", "Page Title"},
        // The first "[" after the URL opens the title; later brackets belong to it.
        {"\"http://a.example/\",\"Netscape - [A [b] c]\"", true, "http://a.example/", "A [b] c"},
        // A "[" inside the URL does not start the title.
        {"\"http://[::1]/\",\"Netscape - [Local]\"", true, "http://[::1]/", "Local"},
        {"\"http://a.example/\",\"Netscape\"", true, "http://a.example/", "<none>"},
        {"\"http://a.example/\",\"Netscape - [\"", true, "http://a.example/", "<none>"},
        {"\"http://a.example/\",\"Netscape - []\"", true, "http://a.example/", ""},
        {"\"http://a.example/\",\"Netscape - [x", true, "http://a.example/", "<none>"},
        {"\"\",\"Netscape - [Empty]\"", true, "", "Empty"},
    };
    check_table(cases, sizeof cases / sizeof cases[0], BROWSER_NETSCAPE);
}

TEST(WindowInfo, IExploreTitleIsTheSecondField) {
    const Case cases[] = {
        {"\"http://a.example/x\",\"Page Title\"", true, "http://a.example/x", "Page Title"},
        {"\"http://a.example/x\",\"Page Title\",\"\"", true, "http://a.example/x", "Page Title"},
        {"\"http://a.example/x\",\"Unclosed title", true, "http://a.example/x", "Unclosed title"},
        {"\"http://a.example/x\",\"\"", true, "http://a.example/x", "<none>"},
        {"\"http://a.example/x\",\"", true, "http://a.example/x", "<none>"},
    };
    check_table(cases, sizeof cases / sizeof cases[0], BROWSER_IEXPLORE);
}

TEST(WindowInfo, RepliesOutOfFormAreRefused) {
    const char* const replies[] = {
        "",
        "http://a.example/,\"Title\"",
        "\"http://a.example/\"",
        "\"http://a.example/\", \"Title\"",
        "\"",
        "\",\"",  // the separator must follow the opening quote
        " \"http://a.example/\",\"Title\"",
    };
    for (const char* reply : replies) {
        SCOPED_TRACE(reply);
        EXPECT_FALSE(parse(reply, BROWSER_NETSCAPE).ok);
        EXPECT_FALSE(parse(reply, BROWSER_IEXPLORE).ok);
    }
}

TEST(WindowInfo, OtherBrowserIdsAreRefused) {
    EXPECT_FALSE(parse("\"http://a.example/\",\"Title\"", BROWSER_UNKNOWN).ok);
    EXPECT_FALSE(parse("\"http://a.example/\",\"Title\"", BROWSER_AUTOMATIC).ok);
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
            size_t length = random() % 24;
            for (size_t i = 0; i < length; i++) reply += alphabet[random() % 7];
        }
        for (uint32_t browser : {BROWSER_NETSCAPE, BROWSER_IEXPLORE}) {
            Parsed parsed = parse(reply, browser);
            // Whatever is taken out of the reply lies inside it.
            if (!parsed.ok) continue;
            EXPECT_NE(reply.find(parsed.url), std::string::npos);
            if (parsed.title != "<none>") {
                EXPECT_NE(reply.find(parsed.title), std::string::npos);
            }
        }
    }
}
