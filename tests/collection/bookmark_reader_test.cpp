// Reading bookmark texts into a collection: the structure rules that the
// fixture exports (lktool's golden tests) do not reach, the report and progress.
#include "collection/bookmark_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collection/collection.h"
#include "collection/import_report.h"
#include "tests/collection/collection_invariants.h"
#include "tests/take_text.h"

namespace {

std::string read_dump(const std::string& text, bool automatic, ImportReport* report = nullptr) {
    Collection collection = create_collection();
    set_fixed_clock(&collection, 9);
    read_bookmark_text(&collection, text.c_str(), automatic, nullptr, nullptr, report);
    const std::string out = dump_records(&collection);
    free_collection(&collection);
    return out;
}

#define DOCTYPE "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"

TEST(BookmarkReader, AssemblesBookmarksFromAnchorsDescriptionsAndFolders) {
    const struct {
        const char* text;
        bool automatic;
        const char* dump;
    } cases[] = {
        {"<DL><DT><A HREF=\"http://a/\" ADD_DATE=\"5\" LAST_VISIT=\"6\" LAST_MODIFIED=\"7\">Alpha&nbsp;\r\n Beta "
         "&amp; co</A>\r\n<DD>one\r\n two\n</DL>",
         false, "http://a/|Alpha\u00a0 Beta & co|one two|5|6|7\n"},
        // A description belongs to its anchor only, and runs over anchors until a term or a list's end.
        {"<DT><A HREF=\"http://a/\">A</A><DD>first<DT><A HREF=\"http://b/\">B</A>\n", false,
         "http://a/|A|first|9|9|U\nhttp://b/|B||9|9|U\n"},
        {"<DT><A HREF=\"http://a/\">A</A><DD>d <A HREF=\"http://b/\">B</A><DD>e</DL><A HREF=\"http://c/\">C", false,
         "http://a/|A|d Be|9|9|U\n"},
        // Two anchors without an end run together; the end of the text inside a
        // title drops the anchor, after its end or in its description it does not.
        {"<DT><A HREF=\"http://a/\">A <A HREF=\"http://b/\">B</A>", false, "http://a/|A B||9|9|U\n"},
        {"<DT><A HREF=\"http://a/\">Cut off", false, ""},
        {"<DT><A HREF=\"http://a/\">A</A>", false, "http://a/|A||9|9|U\n"},
        {"<DT><A HREF=\"http://b/\">B</A><DD>half", false, "http://b/|B|half|9|9|U\n"},
        // Folder names join the keywords in Netscape files only (the nesting and
        // the tags are in the fixture exports); a heading without a list is no folder.
        {"<DL><DT><H3>Folder</H3><DL><DT><A HREF=\"http://x/\">Xray</A></DL></DL>", true,
         "http://x/|Xray|Xray|9|9|U\n"},
        {"<DL></DL><DT><H3>Folder</H3><DL><DT><A HREF=\"http://x/\">Xray</A></DL>", true,
         "http://x/|Xray|Xray|9|9|U\n"},
        {DOCTYPE "<DL><DT><H3>Lonely</H3> text <DT><A HREF=\"http://x/\">Xray</A></DL>", true,
         "http://x/|Xray|Xray|9|9|U\n"},
        // Each bookmark keeps the folders it stood in, a FOLDER the program
        // wrote in their place (its names then no keywords); merged, the first folder it came from stays
        // (a later one only fills in where there was none).
        {DOCTYPE "<DL><DT><H3>A/B &quot;1%&quot;</H3><DL><DT><H3></H3><DL><DT><A HREF=\"http://x/\">X</A></DL>"
                 "<DT><A HREF=\"http://y/\" FOLDER=\"Kept/as%20written\">Y</A></DL>",
         false, "http://x/|X|A B 1|9|9|U|in A%2FB %221%25%22/\nhttp://y/|Y||9|9|U|in Kept/as written\n"},
        {DOCTYPE "<DT><A HREF=\"http://x/\">X</A><DL><DT><H3>F</H3><DL><DT><A HREF=\"http://x/\">X</A>"
                 "<DT><A HREF=\"http://y/\" FOLDER=\"First\">Y</A><DT><A HREF=\"http://y/\">Y</A></DL>",
         false, "http://x/|X||9|9|U|in F\nhttp://y/|Y||9|9|U|in First\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(read_dump(c.text, c.automatic), c.dump) << c.text;
}

TEST(BookmarkReader, ReportsWhatEveryAnchorBecame) {
    ImportReport report = create_import_report();
    const std::string text =
        "<DT><A HREF=\"#top\">Top</A>\n<DT><A HREF=\" \t#mid\">Mid</A>\n<DT><A HREF=\"\">Empty</A>\n"
        "<DT><A HREF=\"http://x/\"> </A>\n<DT><A HREF=\"http://y/\"></A>\n<DT><A HREF=\"HTTP://Y/\">Y</A>\n"
        "<DT><A HREF=\"  \">Blank</A>\n<DT><A HREF=\"http://z/\">Cut off";
    EXPECT_EQ(read_dump(text, false, &report), "http://x/|http://x/||9|9|U\nhttp://y/|http://y/||9|9|U\n");
    EXPECT_STREQ(tb_text(report.reasons),
                 "line 1: a link within a page: #top\nline 2: a link within a page:  \t#mid\nline 3: no address\n"
                 "line 7: no address:   \nline 8: cut off by the end of the file: http://z/\n");
    EXPECT_EQ(take_text(import_counts_text(&report)), "2 added, 1 merged, 5 skipped");
    free_import_report(&report);
}

// At most once per kilobyte, rising.
TEST(BookmarkReader, ReportsProgressAndStopsWhenToldTo) {
    std::string text;
    for (int i = 0; i < 400; i++) {
        text += "<DT><A HREF=\"http://host/" + std::to_string(i) + "\">Title</A>\n<DD>some description words\n";
    }
    Collection collection = create_collection();
    std::vector<uint32_t> reports;
    auto record_three = [](uint32_t kilobytes, void* context) {
        auto* log = static_cast<std::vector<uint32_t>*>(context);
        log->push_back(kilobytes);
        return log->size() < 3;
    };
    read_bookmark_text(&collection, text.c_str(), false, record_three, &reports);
    EXPECT_EQ(reports, (std::vector<uint32_t>{1, 2, 3}));
    EXPECT_GT(collection.records->count, 0u);
    EXPECT_LT(collection.records->count, 400u);
    free_collection(&collection);
}

}  // namespace
