// Internet Shortcut files: the section and key rules, and what one file adds
// to the collection.
#include "collection/internet_shortcut.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/import_report.h"
#include "tests/collection/collection_invariants.h"
#include "tests/take_text.h"

namespace {

// "<none>" when the text is not a shortcut.
std::string url_of(const std::string& text) {
    char* url = shortcut_url(text.c_str());
    std::string result = url ? url : "<none>";
    free(url);
    return result;
}

}  // namespace

TEST(InternetShortcut, UrlKeyOfTheInternetShortcutSectionWhereverBothStand) {
    const struct {
        const char* text;
        const char* url;
    } cases[] = {
        {"[internetshortcut]\nurl=http://b.example/", "http://b.example/"},
        {"[InternetShortcut]\r\n\r\n  \t\r\nURL=  http://c.example/  \r\n", "http://c.example/"},
        {"[InternetShortcut]URL=http://d.example/", "http://d.example/"},
        // The keys after the URL line are not part of the URL.
        {"[InternetShortcut]\r\nURL=http://e.example/\r\nIconFile=C:\\x.ico\r\nIconIndex=1\r\n", "http://e.example/"},
        {"[InternetShortcut]\r\nURL=\r\nIconIndex=1\r\n", ""},
        {"[InternetShortcut]\nURL= \t", ""},
        {"[InternetShortcut]\r\nIconIndex=1\r\n  url = http://h.example/\r\n", "http://h.example/"},
        // Keys of other sections, and other keys, are not the URL.
        {"[DEFAULT]\r\nURL=http://k.example/\r\n[InternetShortcut]\r\nIconFile=x\r\n", "<none>"},
        {"[InternetShortcut]\r\n[InternetShortcut.W]\r\nURL=http://l.example/\r\n", "<none>"},
        {"[InternetShortcut]\r\nURLX=http://m.example/\r\nBASEURL=http://m.example/\r\n", "<none>"},
        {"[InternetShortcut]\r\nURL http://i.example/\r\n", "<none>"},
        {"[InternetShort", "<none>"},
    };
    for (const auto& c : cases) EXPECT_EQ(url_of(c.text), c.url) << c.text;
}

// (Titles, keywords, dates and the code page: lktool load's golden runs.)
TEST(InternetShortcut, ImportCountsAddsMergesAndSkips) {
    ImportInto into(true);
    BookmarkSink* sink = &into.sink;
    read_internet_shortcut(sink, "Daily News.url", "[InternetShortcut]\r\nURL=http://news.example/daily\r\n");
    read_internet_shortcut(sink, "Other Name.url", "[InternetShortcut]\r\nURL=HTTP://NEWS.example/daily\r\n");
    read_internet_shortcut(sink, "Broken.url", "URL=http://broken.example/\r\n");
    read_internet_shortcut(sink, "Empty.url", "[InternetShortcut]\r\nURL=\r\n");
    read_internet_shortcut(sink, ".url", "[InternetShortcut]\r\nURL=http://untitled.example/\r\n");
    close_bookmark_sink(sink);
    EXPECT_EQ(take_text(import_counts_text(&into.report)), "2 added, 1 merged, 2 skipped");
    EXPECT_STREQ(tb_text(into.report.reasons), "Broken.url: not an Internet Shortcut\nEmpty.url: no address\n");
    EXPECT_EQ(dump_records(&into.collection),
              "http://news.example/daily|Daily News|Daily News|9|9|U\n"
              "http://untitled.example/|http://untitled.example/||9|9|U\n");
}

// Shortcuts cut at both ends (a [DEFAULT] URL before the section), random bytes put in.
TEST(InternetShortcut, RandomAndTruncatedTextsNeverYieldAMultiLineUrl) {
    std::mt19937 rng(31);
    ImportInto into(true);
    const std::string valid = "[DEFAULT]\r\nURL=x\r\n[InternetShortcut]\r\nURL=http://x.example/a b\r\nIconFile=y\r\n";
    const char alphabet[] = "[]InternetShortcutURL=:/\r\n \t\x01\xff\xc3\xa9";
    for (int round = 0; round < 20000; round++) {
        const size_t from = rng() % 3 ? rng() % 30 : 0;
        std::string text = valid.substr(from, rng() % (valid.size() + 1));
        for (size_t i = rng() % 8; i > 0 && !text.empty(); i--)
            text[rng() % text.size()] = alphabet[rng() % (sizeof alphabet - 1)];
        char* url = shortcut_url(text.c_str());
        const std::string u = url ? url : "";
        free(url);
        EXPECT_EQ(u.find_first_of("\r\n"), std::string::npos) << text;
        EXPECT_TRUE(u.empty() || (u.front() != ' ' && u.back() != ' ')) << text;
        if (round % 4 == 0) read_internet_shortcut(&into.sink, text.c_str(), text.c_str());
    }
    close_bookmark_sink(&into.sink);
    EXPECT_EQ(into.report.added + into.report.merged + into.report.skipped, 5000u);
    EXPECT_EQ(check_collection(&into.collection), "");
}
