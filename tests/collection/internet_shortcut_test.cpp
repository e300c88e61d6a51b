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
    Collection c = create_collection();
    set_fixed_clock(&c, 9);
    ImportReport report = create_import_report();
    BookmarkSink sink = open_bookmark_sink(&c, true, &report);
    read_internet_shortcut(&sink, "Daily News.url", "[InternetShortcut]\r\nURL=http://news.example/daily\r\n");
    read_internet_shortcut(&sink, "Other Name.url", "[InternetShortcut]\r\nURL=HTTP://NEWS.example/daily\r\n");
    read_internet_shortcut(&sink, "Broken.url", "URL=http://broken.example/\r\n");
    read_internet_shortcut(&sink, "Empty.url", "[InternetShortcut]\r\nURL=\r\n");
    read_internet_shortcut(&sink, ".url", "[InternetShortcut]\r\nURL=http://untitled.example/\r\n");
    close_bookmark_sink(&sink);
    EXPECT_EQ(take_text(import_counts_text(&report)), "2 added, 1 merged, 2 skipped");
    EXPECT_STREQ(tb_text(report.reasons), "Broken.url: not an Internet Shortcut\nEmpty.url: no address\n");
    free_import_report(&report);
    EXPECT_EQ(dump_records(&c),
              "http://news.example/daily|Daily News|Daily News|9|9|U\n"
              "http://untitled.example/|http://untitled.example/||9|9|U\n");
    free_collection(&c);
}

TEST(InternetShortcut, RandomAndTruncatedTextsNeverYieldAMultiLineUrl) {
    std::mt19937 rng(31);
    Collection c = create_collection();
    ImportReport report = create_import_report();
    BookmarkSink sink = open_bookmark_sink(&c, true, &report);
    const std::string valid = "[InternetShortcut]\r\nURL=http://x.example/a b\r\nIconFile=y\r\n";
    const char alphabet[] = "[]InternetShortcutURL=:/\r\n \t\x01\xff\xc3\xa9";
    for (int round = 0; round < 20000; round++) {
        std::string text;
        if (round % 3 == 0) {
            text = valid.substr(0, rng() % (valid.size() + 1));
            if (!text.empty() && rng() % 2) text[rng() % text.size()] = alphabet[rng() % (sizeof alphabet - 1)];
        } else {
            size_t length = rng() % 64;
            for (size_t i = 0; i < length; i++) text += alphabet[rng() % (sizeof alphabet - 1)];
            if (rng() % 2)
                text = (rng() % 2 ? "[DEFAULT]\r\nURL=x\r\n[InternetShortcut]" : "[InternetShortcut]") + text;
        }
        char* url = shortcut_url(text.c_str());
        if (url) {
            std::string u = url;
            EXPECT_EQ(u.find_first_of("\r\n"), std::string::npos) << text;
            EXPECT_TRUE(u.empty() || (u.front() != ' ' && u.back() != ' ')) << text;
        }
        free(url);
        if (round % 4 == 0) read_internet_shortcut(&sink, text.c_str(), text.c_str());
    }
    close_bookmark_sink(&sink);
    EXPECT_EQ(report.added + report.merged + report.skipped, 5000u);
    EXPECT_EQ(check_collection(&c), "");
    free_import_report(&report);
    free_collection(&c);
}
