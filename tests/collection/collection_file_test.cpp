#include "collection/collection_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "core/whole_file.h"
#include "search/keyword_index.h"
#include "tests/temp_dir.h"

namespace {

const std::string kHeader =
    "<HTML><HEAD>\r\n<!DOCTYPE Tessfold-Ravozorizi-file-1>\r\n"
    "<!-- This is an automatically generated file.\r\nIt will be read and overwritten.\r\n"
    "Do Not Edit! -->\r\n<TITLE>Ravozorizi</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
    "<H1>Ravozorizi</H1>\r\n<DL><p>\r\n\r\n";
const std::string kFooter = "</DL><p>\r\n</BODY>\n";

struct FileFixture : ::testing::Test {
    Collection c = create_collection();
    ~FileFixture() override { free_collection(&c); }

    // A stored record with exactly these fields (add_or_merge would fill in dates).
    Bookmark* put(const char* url, const char* title, const char* keywords, uint32_t added, uint32_t visit,
                  uint32_t modified) {
        Bookmark* r = new_record(&c);
        r->url = str_dup(url);
        r->title = str_dup(title);
        r->added = added;
        r->last_visit = visit;
        r->last_modified = modified;
        set_bookmark_keywords(&c, r, keywords);
        insert_record(&c, r);
        return r;
    }
    std::string text() { return text_of(c.records); }
    static std::string text_of(const PtrVector* records) {
        char* built = build_collection_text(records);
        std::string result = built;
        free(built);
        return result;
    }
};

TEST_F(FileFixture, EmptyCollectionIsHeaderAndFooter) {
    EXPECT_EQ(kHeader.size(), 228u);
    EXPECT_EQ(std::string(COLLECTION_FILE_HEADER), kHeader);
    EXPECT_EQ(text(), kHeader + kFooter);
    EXPECT_EQ(text().size(), 246u);
}

TEST_F(FileFixture, EntriesCarryOnlyRealDates) {
    put("http://u/", "T", "news daily", 100, DATE_UNSET, 4294967292u);
    put("http://v/", "V", nullptr, 0, 7, DATE_BROKEN);
    put("http://w/", "W", "w", 1, DATE_CHECKING, 3);
    EXPECT_EQ(text(), kHeader +
                          "<DT><A HREF=\"http://u/\" ADD_DATE=\"100\" LAST_MODIFIED=\"4294967292\" "
                          ">T</A>\r\n<DD>news daily\r\n\r\n"
                          "<DT><A HREF=\"http://v/\" ADD_DATE=\"0\" LAST_VISIT=\"7\" >V</A>\r\n<DD>\r\n\r\n"
                          "<DT><A HREF=\"http://w/\" ADD_DATE=\"1\" LAST_MODIFIED=\"3\" >W</A>\r\n<DD>w\r\n\r\n" +
                          kFooter);
}

TEST_F(FileFixture, RecordsAreWrittenInTheGivenOrder) {
    Bookmark* a = put("http://a/", "A", nullptr, 1, 1, 1);
    Bookmark* b = put("http://b/", "B", nullptr, 1, 1, 1);
    PtrVector* order = vec_create();
    vec_append(order, b);
    vec_append(order, a);
    std::string written = text_of(order);
    vec_destroy(order);
    EXPECT_LT(written.find("http://b/"), written.find("http://a/"));
}

// Markup in a title would swallow the entries behind it on reading, and a
// quote in a URL would end it: they are escaped. Keyword texts are written as
// they are.
TEST_F(FileFixture, TitleMarkupAndUrlQuotesAreEscapedKeywordsAreNot) {
    put("http://x/?a=1&b=\"<>\"", "a<z & <b>bold</b> &amp; x>", "k_1 -", 5, DATE_UNSET, DATE_UNSET);
    std::string written = text();
    EXPECT_NE(written.find("<DT><A HREF=\"http://x/?a=1&b=%22<>%22\" ADD_DATE=\"5\" "
                           ">a&lt;z &amp; &lt;b&gt;bold&lt;/b&gt; &amp;amp; x&gt;</A>\r\n"
                           "<DD>k_1 -\r\n\r\n"),
              std::string::npos)
        << written;
}

TEST_F(FileFixture, SaveWritesTheTextAndKeepsNoBackupUnlessAsked) {
    TempDir dir;
    std::string path = dir.path("lk.htm");
    put("http://a/", "A", "a", 1, 2, 3);
    ASSERT_TRUE(save_collection(&c, path.c_str(), false));
    EXPECT_EQ(dir.read("lk.htm"), text());
    ASSERT_TRUE(save_collection(&c, path.c_str(), false));
    EXPECT_FALSE(dir.exists("lk.htm.bak"));
}

// A large collection goes out in many pieces: the file holds every byte of the
// text exactly once, in order, with nothing cut at a piece's edge.
TEST_F(FileFixture, LargeCollectionIsWrittenWholeInPieces) {
    TempDir dir;
    std::string long_title(5000, 't');
    for (int i = 0; i < 600; i++) {
        std::string url = "http://example.org/page/" + std::to_string(i);
        std::string title = (i % 5 == 0 ? long_title : "Title <" + std::to_string(i) + "> & more");
        put(url.c_str(), title.c_str(), "alpha beta gamma", static_cast<uint32_t>(i), 7, DATE_UNSET);
    }
    std::string expected = text();
    ASSERT_GT(expected.size(), 500000u);
    ASSERT_TRUE(write_collection_file(c.records, dir.path("big.htm").c_str()));
    EXPECT_EQ(dir.read("big.htm"), expected);
    EXPECT_EQ(dir.names(), std::set<std::string>{"big.htm"});
}

TEST_F(FileFixture, BackupHoldsThePreviousSave) {
    TempDir dir;
    std::string path = dir.path("lk.htm");
    ASSERT_TRUE(save_collection(&c, path.c_str(), true));  // nothing to back up yet
    EXPECT_FALSE(dir.exists("lk.htm.bak"));
    put("http://a/", "First", nullptr, 1, 1, 1);
    ASSERT_TRUE(save_collection(&c, path.c_str(), true));
    std::string first = dir.read("lk.htm");
    put("http://b/", "Second", nullptr, 1, 1, 1);
    ASSERT_TRUE(save_collection(&c, path.c_str(), true));
    EXPECT_EQ(dir.read("lk.htm.bak"), first);
    EXPECT_EQ(dir.read("lk.htm"), text());
}

TEST_F(FileFixture, FailedWriteIsReported) {
    TempDir dir;
    EXPECT_FALSE(save_collection(&c, dir.path("missing/lk.htm").c_str(), true));
    // A folder in the file's place cannot be written over.
    dir.make_folder("lk.htm");
    EXPECT_FALSE(save_collection(&c, dir.path("lk.htm").c_str(), false));
}

// The new file is complete before anything else moves: a failure at any step
// of a save leaves the file and its backup byte for byte as they were, and
// nothing else behind; the next save that works rotates as usual.
TEST_F(FileFixture, FailedSaveAtAnyStepLeavesFileAndBackupAsTheyWere) {
    put("http://a/", "A", "a", 1, 2, 3);
    const struct {
        FileStep step;
        bool backup;
    } cases[] = {
        {FILE_STEP_WRITE, true},  {FILE_STEP_FLUSH, true},  {FILE_STEP_ROTATE, true},   {FILE_STEP_MOVE_IN, true},
        {FILE_STEP_WRITE, false}, {FILE_STEP_FLUSH, false}, {FILE_STEP_MOVE_IN, false},
    };
    const std::set<std::string> both = {"lk.htm", "lk.htm.bak"};
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << "step " << test.step << (test.backup ? " with backup" : ""));
        TempDir dir;
        std::string path = dir.path("lk.htm");
        dir.write("lk.htm", "the previous collection");
        dir.write("lk.htm.bak", "the older backup");
        fail_next_file_step(test.step);
        EXPECT_FALSE(save_collection(&c, path.c_str(), test.backup));
        EXPECT_EQ(dir.read("lk.htm"), "the previous collection");
        EXPECT_EQ(dir.read("lk.htm.bak"), "the older backup");
        EXPECT_EQ(dir.names(), both);
        ASSERT_TRUE(save_collection(&c, path.c_str(), test.backup));
        EXPECT_EQ(dir.read("lk.htm"), text());
        EXPECT_EQ(dir.read("lk.htm.bak"), test.backup ? "the previous collection" : "the older backup");
        EXPECT_EQ(dir.names(), both);
    }
}

TEST_F(FileFixture, BackupThatCannotBeReplacedFailsTheSaveAndKeepsTheFile) {
    TempDir dir;
    dir.write("lk.htm", "the previous collection");
    dir.make_folder("lk.htm.bak");
    dir.write("lk.htm.bak/inside", "x");
    EXPECT_FALSE(save_collection(&c, dir.path("lk.htm").c_str(), true));
    EXPECT_EQ(dir.read("lk.htm"), "the previous collection");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"lk.htm", "lk.htm.bak"}));
    EXPECT_EQ(dir.names("lk.htm.bak"), std::set<std::string>{"inside"});
}

TEST_F(FileFixture, SaveWithoutAFileToKeepLeavesTheBackupAlone) {
    TempDir dir;
    dir.write("lk.htm.bak", "the only copy");
    ASSERT_TRUE(save_collection(&c, dir.path("lk.htm").c_str(), true));
    EXPECT_EQ(dir.read("lk.htm.bak"), "the only copy");
    EXPECT_EQ(dir.read("lk.htm"), text());
}

// Titles with markup, entity look-alikes, quotes and UTF-8 bytes come back
// exactly, as do URLs, keywords and written dates, and no bookmark is lost.
TEST_F(FileFixture, EveryTitleSurvivesWriteAndRead) {
    const char* pieces[] = {"a",   "Z",    "<",        ">",    "&",     "&amp;", "&lt;b&gt;", "&nbsp;",
                            "<b>", "</b>", "</A>",     "<DD>", "<DT>",  "\"",    "'",         "#",
                            "=",   "9",    "\xC3\xA4", "a<z",  "&#65;", ";",     "/",         "<!--"};
    const int piece_count = sizeof pieces / sizeof pieces[0];
    std::mt19937 rng(7);
    std::vector<Bookmark*> written;
    for (int i = 0; i < 400; i++) {
        std::string title;
        for (int k = 1 + static_cast<int>(rng() % 6); k > 0; k--) {
            title += pieces[rng() % piece_count];
            if (k > 1 && rng() % 3 == 0) title += ' ';
        }
        std::string url = "http://h" + std::to_string(i) + "/?q=a&b=<c>";
        uint32_t modified = rng() % 2 ? static_cast<uint32_t>(rng() % 4000000000u) : DATE_UNSET;
        written.push_back(put(url.c_str(), title.c_str(), i % 3 ? "kw news_1" : nullptr,
                              static_cast<uint32_t>(rng() % 4000000000u), static_cast<uint32_t>(rng() % 4000000000u),
                              modified));
    }
    char* text = build_collection_text(c.records);
    Collection back = create_collection();
    read_bookmark_text(&back, text, true, nullptr, nullptr);
    free(text);
    ASSERT_EQ(back.records->count, written.size());
    for (uint32_t i = 0; i < back.records->count; i++) {
        const Bookmark* r = static_cast<const Bookmark*>(back.records->items[i]);
        const Bookmark* w = written[i];
        EXPECT_STREQ(r->url, w->url);
        EXPECT_STREQ(r->title, w->title);
        char* kr = keyword_set_text(r->keywords);
        char* kw = keyword_set_text(w->keywords);
        EXPECT_STREQ(kr, kw);
        free(kr);
        free(kw);
        EXPECT_EQ(r->added, w->added);
        EXPECT_EQ(r->last_visit, w->last_visit);
        EXPECT_EQ(r->last_modified, w->last_modified);
    }
    free_collection(&back);
}

}  // namespace
