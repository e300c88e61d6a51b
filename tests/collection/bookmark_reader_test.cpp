// Reading bookmark texts into a collection: anchors, descriptions, Netscape
// folders, own-file detection, date attributes, progress and file failures.
#include "collection/bookmark_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/import_report.h"
#include "search/keyword_index.h"

namespace {

const uint32_t kNow = 1000000000;

// One line per bookmark in `records` order: url|title|keywords|added|visit|modified,
// dates in decimal, U for DATE_UNSET.
std::string dump_collection(const Collection* collection) {
    std::string out;
    for (uint32_t i = 0; i < collection->records->count; i++) {
        const Bookmark* b = static_cast<const Bookmark*>(collection->records->items[i]);
        char* keywords = keyword_set_text(b->keywords);
        out += std::string(b->url) + "|" + b->title + "|" + keywords;
        free(keywords);
        for (uint32_t date : {b->added, b->last_visit, b->last_modified}) {
            out += "|" + (date == DATE_UNSET ? std::string("U") : std::to_string(date));
        }
        out += "\n";
    }
    return out;
}

struct Reading {
    Collection collection = create_collection();
    Reading() { set_fixed_clock(&collection, kNow); }
    ~Reading() { free_collection(&collection); }
    std::string parse(const std::string& text, bool automatic) {
        EXPECT_TRUE(parse_bookmark_text(&collection, text.c_str(), automatic, nullptr, nullptr));
        return dump_collection(&collection);
    }
    std::string read(const std::string& text, bool automatic) {
        read_bookmark_text(&collection, text.c_str(), automatic, nullptr, nullptr);
        return dump_collection(&collection);
    }
};

const char kDoctype[] = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n";

TEST(BookmarkReader, ReadsAnchorTitleAndDescription) {
    Reading r;
    EXPECT_EQ("http://a/|Alpha\u00a0 Beta & co \u2019|one two|5|6|7\n",
              r.parse("<DL><DT><A HREF=\"http://a/\" ADD_DATE=\"5\" LAST_VISIT=\"6\" "
                      "LAST_MODIFIED=\"7\">Alpha&nbsp;\r\n Beta &amp; co &#8217;</A>\r\n<DD>one\r\n two\n</DL>",
                      false));
}

// Every anchor is counted: added, merged, or skipped with its line and why.
TEST(BookmarkReader, ReportsWhatEveryAnchorBecame) {
    Reading r;
    ImportReport report = create_import_report();
    const std::string text =
        "<DT><A HREF=\"#top\">Top</A>\n<DT><A HREF=\" \t#mid\">Mid</A>\n<DT><A HREF=\"\">Empty</A>\n"
        "<DT><A HREF=\"http://x/\"> </A>\n<DT><A HREF=\"http://y/\"></A>\n<DT><A HREF=\"HTTP://Y/\">Y</A>\n"
        "<DT><A HREF=\"  \">Blank</A>\n<DT><A HREF=\"http://z/\">Cut off";
    parse_bookmark_text(&r.collection, text.c_str(), false, nullptr, nullptr, &report);
    EXPECT_EQ(dump_collection(&r.collection),
              "http://x/|http://x/||1000000000|1000000000|U\n"
              "http://y/|http://y/||1000000000|1000000000|U\n");
    EXPECT_EQ(report.added, 2u);
    EXPECT_EQ(report.merged, 1u);
    EXPECT_EQ(report.skipped, 5u);
    EXPECT_STREQ(tb_text(report.reasons),
                 "line 1: a link within a page: #top\n"
                 "line 2: a link within a page:  \t#mid\n"
                 "line 3: no address\n"
                 "line 7: no address:   \n"
                 "line 8: cut off by the end of the file: http://z/\n");
    char* counts = import_counts_text(&report);
    EXPECT_STREQ(counts, "2 added, 1 merged, 5 skipped");
    free(counts);
    free_import_report(&report);
}

TEST(BookmarkReader, DescriptionBelongsOnlyToItsAnchor) {
    Reading r;
    EXPECT_EQ(
        "http://a/|A|first|1000000000|1000000000|U\n"
        "http://b/|B||1000000000|1000000000|U\n",
        r.parse("<DT><A HREF=\"http://a/\">A</A><DD>first<DT><A HREF=\"http://b/\">B</A>\n", false));
}

TEST(BookmarkReader, DescriptionRunsOverAnchorsUntilTermOrListEnd) {
    Reading r;
    EXPECT_EQ("http://a/|A|d Be|1000000000|1000000000|U\n",
              r.parse("<DT><A HREF=\"http://a/\">A</A><DD>d <A HREF=\"http://b/\">B</A><DD>e</DL>"
                      "<A HREF=\"http://c/\">C",
                      false));
}

TEST(BookmarkReader, TwoAnchorsWithoutEndRunTogether) {
    Reading r;
    EXPECT_EQ("http://a/|A B||1000000000|1000000000|U\n",
              r.parse("<DT><A HREF=\"http://a/\">A <A HREF=\"http://b/\">B</A>", false));
}

TEST(BookmarkReader, EndOfTextInsideTitleDropsTheAnchor) {
    Reading r;
    EXPECT_EQ("", r.parse("<DT><A HREF=\"http://a/\">Cut off", false));
}

TEST(BookmarkReader, EndOfTextAfterAnchorEndOrInsideDescriptionDelivers) {
    Reading r;
    EXPECT_EQ("http://a/|A||1000000000|1000000000|U\n", r.parse("<DT><A HREF=\"http://a/\">A</A>", false));
    Reading s;
    EXPECT_EQ("http://b/|B|half|1000000000|1000000000|U\n", s.parse("<DT><A HREF=\"http://b/\">B</A><DD>half", false));
}

TEST(BookmarkReader, AutomaticModeTurnsTitleAndDescriptionIntoKeywords) {
    Reading r;
    EXPECT_EQ("http://a/|The Linux Home Page|Linux kernel|1000000000|1000000000|U\n",
              r.parse("<DT><A HREF=\"http://a/\">The Linux Home Page</A><DD>kernel the", true));
}

TEST(BookmarkReader, NetscapeFoldersJoinTheDescriptionInnermostFirst) {
    Reading r;
    const std::string text = std::string(kDoctype) +
                             "<DL><p>\n"
                             "<DT><H3 FOLDED ADD_DATE=\"1\">Outer</H3>\n"
                             "<DL><p>\n"
                             "  <DT><H3>Inner Sanctum</H3>\n"
                             "  <DL><p>\n"
                             "    <DT><A HREF=\"http://x/\">Xylophone</A>\n"
                             "    <DD>music\n"
                             "  </DL><p>\n"
                             "  <DT><A HREF=\"http://y/\">Yodel</A>\n"
                             "</DL><p>\n"
                             "<DT><A HREF=\"http://z/\">Zither</A>\n"
                             "</DL>\n";
    EXPECT_EQ(
        "http://x/|Xylophone|Xylophone music Inner Sanctum Outer|1000000000|1000000000|U\n"
        "http://y/|Yodel|Yodel Outer|1000000000|1000000000|U\n"
        "http://z/|Zither|Zither|1000000000|1000000000|U\n",
        r.parse(text, true));
}

TEST(BookmarkReader, FoldersNeedTheNetscapeDoctype) {
    Reading r;
    EXPECT_EQ("http://x/|Xray|Xray|1000000000|1000000000|U\n",
              r.parse("<DL><DT><H3>Folder</H3><DL><DT><A HREF=\"http://x/\">Xray</A></DL></DL>", true));
}

TEST(BookmarkReader, LowerCaseMarkupOpensFoldersAndCarriesDates) {
    Reading r;
    const std::string text =
        "<!doctype netscape-bookmark-file-1>\n"
        "<dl><p><dt><h3 add_date=\"1\">Outer</h3><dl><p>"
        "<dt><h3>Inner</h3><dl><dt><a href=\"http://x/\" add_date=\"7\" last_visit='8' last_modified=9>Xray</a></dl>"
        "<dt><a href=\"http://y/\">Yak</a></dl></dl>";
    EXPECT_EQ(
        "http://x/|Xray|Xray Inner Outer|7|8|9\n"
        "http://y/|Yak|Yak Outer|1000000000|1000000000|U\n",
        r.parse(text, true));
}

TEST(BookmarkReader, TagsBecomeKeywordsAsFolderNamesDo) {
    Reading r;
    const std::string text = std::string(kDoctype) +
                             "<DL><DT><H3>Kitchen</H3><DL>"
                             "<DT><A HREF=\"http://bread/\" TAGS=\"baking,sourdough,caf&eacute;\">Bread</A><DD>crust"
                             "<DT><A HREF=\"http://soup/\" tags=\"\">Soup</A></DL></DL>";
    EXPECT_EQ(
        "http://bread/|Bread|Bread crust baking sourdough caf\u00e9 Kitchen|1000000000|1000000000|U\n"
        "http://soup/|Soup|Soup Kitchen|1000000000|1000000000|U\n",
        r.parse(text, true));
    Reading plain;
    EXPECT_EQ("http://t/|T|to-read 2024 c|1000000000|1000000000|U\n",
              plain.parse("<DT><A HREF=\"http://t/\" TAGS=\"to-read,2024,c++\">T</A>", false));
}

TEST(BookmarkReader, FolderDescriptionDoesNotHideTheFolder) {
    Reading r;
    const std::string text = std::string(kDoctype) +
                             "<DL><DT><H3>Outer</H3><DL>"
                             "<DT><H3>Toolbar</H3>\n<DD>Shown on the toolbar\n<DL>"
                             "<DT><A HREF=\"http://x/\">Xray</A></DL>"
                             "<DT><A HREF=\"http://y/\">Yak</A></DL></DL>";
    EXPECT_EQ(
        "http://x/|Xray|Xray Toolbar Outer|1000000000|1000000000|U\n"
        "http://y/|Yak|Yak Outer|1000000000|1000000000|U\n",
        r.parse(text, true));
}

TEST(BookmarkReader, HeadingWithoutFollowingListIsNoFolder) {
    Reading r;
    const std::string text =
        std::string(kDoctype) + "<DL><DT><H3>Lonely</H3> text <DT><A HREF=\"http://x/\">Xray</A></DL>";
    EXPECT_EQ("http://x/|Xray|Xray|1000000000|1000000000|U\n", r.parse(text, true));
}

TEST(BookmarkReader, OwnFilesReadWithAutomaticOffAndForeignOnesAsAsked) {
    std::string own = std::string(COLLECTION_FILE_HEADER) +
                      "<DT><A HREF=\"http://a/\" ADD_DATE=\"5\" >Foo Page</A>\r\n<DD>the alpha\r\n\r\n" +
                      COLLECTION_FILE_FOOTER;
    Reading r;
    EXPECT_EQ("http://a/|Foo Page|the alpha|5|1000000000|U\n", r.read(own, true));

    std::string edited = own;
    edited[COLLECTION_FILE_HEADER_LENGTH - 10] = 'x';
    Reading s;
    EXPECT_EQ("http://a/|Foo Page|Foo alpha|5|1000000000|U\n", s.read(edited, true));
    Reading t;
    EXPECT_EQ("http://a/|Foo Page|the alpha|5|1000000000|U\n", t.read(edited, false));
}

TEST(AnchorAttributes, ReadsDatesInAnyUnitFromNamesInAnyCase) {
    struct Case {
        const char* tag;
        const char* url;
        uint32_t added, visit, modified;
    };
    const uint32_t U = DATE_UNSET;
    const Case cases[] = {
        {"<A HREF=\"u\">", "u", U, U, U},
        {"<A HREF=\"u\" ADD_DATE=\"4294967295\">", "u", 0xFFFFFFFFu, U, U},
        // Milliseconds, microseconds and nanoseconds come back as seconds.
        {"<A HREF=\"u\" ADD_DATE=\"1700000000123\" LAST_VISIT=\"1700000000123456\" "
         "LAST_MODIFIED=\"1700000000123456789\">",
         "u", 1700000000, 1700000000, 1700000000},
        {"<A HREF=\"u\" ADD_DATE=\"4294967296\" LAST_VISIT=\"99999999999999999999999\">", "u", 4294967, U, U},
        {"<A HREF=\"u\" ADD_DATE=\"\" LAST_VISIT=\"-5\" LAST_MODIFIED=\" 7\">", "u", 0, 0, 0},
        {"<A HREF=\"u\" add_date=\"5\" Last_Visit = '6' last_modified=7>", "u", 5, 6, 7},
        {"<A HREF=\"u\" ADD_DATES=\"6\" XADD_DATE=\"7\" _ADD_DATE=\"9\" ADD_DATE>", "u", U, U, U},
        {"<A HREF=\"u\" ADD_DATE=\"1\" ADD_DATE=\"2\">", "u", 2, U, U},
        {"<A HREF=\"u\" HREF=\"v\" href=\"w\">", "u", U, U, U},
        {"<A HREF=\"u\" TITLE=\"ADD_DATE=5 \" LAST_VISIT=\"12x3\">", "u", U, 12, U},
        {"<A HREF=\"a&amp;b\" ADD_DATE=\"3\"", "a&amp;b", 3, U, U},
        {"<A HREF=\"u\" ADD_DATE=\"3\">LAST_VISIT=\"4\"", "u", 3, U, U},
        {"<A HREF=\"u\" T=\"x> ADD_DATE=\"3\">", "u", U, U, U},
        {"<A HREF=\"u\" T=\"x>\" ADD_DATE=\"3\">", "u", 3, U, U},
        {"<A HREF=\"u\" T=\"", "u", U, U, U},
    };
    for (const Case& c : cases) {
        AnchorAttributes a;
        a.url = tb_empty();
        a.tags = tb_empty();
        ASSERT_TRUE(parse_anchor_attributes(&a, c.tag)) << c.tag;
        EXPECT_STREQ(c.url, tb_text(a.url)) << c.tag;
        EXPECT_EQ(c.added, a.added) << c.tag;
        EXPECT_EQ(c.visit, a.last_visit) << c.tag;
        EXPECT_EQ(c.modified, a.last_modified) << c.tag;
        tb_free(&a.url);
        tb_free(&a.tags);
    }
}

TEST(AnchorAttributes, FailsWithoutQuotedValue) {
    AnchorAttributes a;
    a.url = tb_empty();
    a.tags = tb_empty();
    EXPECT_FALSE(parse_anchor_attributes(&a, "<A HREF=x>"));
    EXPECT_FALSE(parse_anchor_attributes(&a, "<A HREF=\"x"));
    EXPECT_FALSE(parse_anchor_attributes(&a, "<A HREF='x'>"));
    EXPECT_STREQ("", tb_text(a.url));
}

struct ProgressLog {
    std::vector<uint32_t> reports;
    size_t stop_after;
};

bool record_progress(uint32_t kilobytes, void* context) {
    ProgressLog* log = static_cast<ProgressLog*>(context);
    log->reports.push_back(kilobytes);
    return log->reports.size() < log->stop_after;
}

std::string many_anchors(int count) {
    std::string text;
    for (int i = 0; i < count; i++) {
        text += "<DT><A HREF=\"http://host/" + std::to_string(i) + "\">Title " + std::to_string(i) +
                "</A>\n<DD>some description words\n";
    }
    return text;
}

TEST(BookmarkReader, ReportsProgressAtMostOncePerKilobyte) {
    const std::string text = many_anchors(400);
    Reading r;
    ProgressLog log{{}, 100000};
    parse_bookmark_text(&r.collection, text.c_str(), false, record_progress, &log);
    EXPECT_EQ(400u, r.collection.records->count);
    ASSERT_FALSE(log.reports.empty());
    EXPECT_GE(log.reports.front(), 1u);
    for (size_t i = 1; i < log.reports.size(); i++) EXPECT_GT(log.reports[i], log.reports[i - 1]);
    EXPECT_LE(log.reports.back(), text.size() / 1024);
}

TEST(BookmarkReader, StopsWhenProgressSaysStop) {
    const std::string text = many_anchors(400);
    Reading r;
    ProgressLog log{{}, 3};
    EXPECT_TRUE(parse_bookmark_text(&r.collection, text.c_str(), false, record_progress, &log));
    EXPECT_EQ(3u, log.reports.size());
    EXPECT_GT(r.collection.records->count, 0u);
    EXPECT_LT(r.collection.records->count, 400u);
}

TEST(BookmarkReader, MissingEmptyOrUnnamedFilesFailAndAddNothing) {
    Reading r;
    EXPECT_FALSE(read_bookmark_file(&r.collection, "", true, nullptr, nullptr));
    EXPECT_FALSE(
        read_bookmark_file(&r.collection, LK_TEST_DATA_DIR "/collection/no-such-file.htm", true, nullptr, nullptr));
    char path[] = "reader_empty_XXXXXX";
    FILE* f = fopen(path, "wb");
    ASSERT_NE(nullptr, f);
    fclose(f);
    EXPECT_FALSE(read_bookmark_file(&r.collection, path, true, nullptr, nullptr));
    remove(path);
    EXPECT_EQ(0u, r.collection.records->count);
}

}  // namespace
