// Whole-file reads and writes, the collection file's entries, and saves that
// never cost the previous file or its backup. (Whole files: lktool's golden outputs.)
#include "collection/collection_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "collection/bookmark_reader.h"
#include "collection/check_state.h"
#include "collection/collection.h"
#include "collection/folder_tree_file.h"
#include "core/whole_file.h"
#include "search/keyword_index.h"
#include "tests/take_text.h"
#include "tests/temp_dir.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

namespace {

TEST(WholeFile, ReadsLargeFilesWholeAndFailsWithoutText) {
    TempDir dir;
    // A user's file that happens to bear a fixed temporary name is left alone.
    dir.write("a.htm", std::string(10000, 'x'));
    dir.write("a.htm.tmp", "a file of the user's");
    ASSERT_TRUE(write_whole_file(dir.path("a.htm").c_str(), "line one"));
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a.htm", "a.htm.tmp"}));
    EXPECT_EQ(dir.read("a.htm.tmp"), "a file of the user's");
    EXPECT_EQ(dir.read("a.htm"), "line one");
    char* read = nullptr;
    uint32_t size = 0;
    // Large files get a block of their own (aligned for huge pages).
    const std::string big(3 << 20, 'b');
    dir.write("big", big);
    ASSERT_TRUE(read_whole_file(dir.path("big").c_str(), &read, &size));
    EXPECT_TRUE(big == read) << "the large file does not read back whole";
    free(read);
    // A zero byte ends the text, not the file.
    dir.write("z", std::string("ab\0cd", 5));
    ASSERT_TRUE(read_whole_file(dir.path("z").c_str(), &read, &size));
    EXPECT_EQ(size, 5u);
    EXPECT_STREQ(read, "ab");
    free(read);
    dir.write("empty", "");
    for (const std::string& path : {dir.path("empty"), dir.path("missing")}) {
        EXPECT_FALSE(read_whole_file(path.c_str(), &read, &size)) << path;
        EXPECT_EQ(read, nullptr);
        EXPECT_EQ(size, 0u);
    }
    EXPECT_TRUE(read_whole_file("", &read, &size));
    EXPECT_EQ(read, nullptr);
}

#ifndef _WIN32
// A file size limit makes the write fail part-way, as a full disk would; a
// replacement keeps the file's permissions.
TEST(WholeFile, WriteCutShortLeavesTargetUntouchedAndReplacementKeepsPermissions) {
    TempDir dir;
    dir.write("big.htm", "the previous collection");
    chmod(dir.path("big.htm").c_str(), 0640);
    struct rlimit old_limit;
    getrlimit(RLIMIT_FSIZE, &old_limit);
    void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    bool written = write_whole_file(dir.path("big.htm").c_str(), std::string(100000, 'y').c_str());
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.read("big.htm"), "the previous collection");
    EXPECT_EQ(dir.names(), std::set<std::string>{"big.htm"});
    ASSERT_TRUE(write_whole_file(dir.path("big.htm").c_str(), "new"));
    struct stat info;
    ASSERT_EQ(stat(dir.path("big.htm").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}
#endif

struct FileFixture : ::testing::Test {
    Collection c = create_collection();
    ~FileFixture() override { free_collection(&c); }

    // Exactly these fields (add_or_merge would fill in dates).
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
    std::string text(const PtrVector* records = nullptr) {
        return take_text(build_collection_text(records ? records : c.records));
    }
};

// Markup in a title would swallow the entries behind it, and a '>' in a moved
// page's or an archived copy's address would end its tag: escaped. Keyword
// texts are written as they are.
TEST_F(FileFixture, EntriesCarryOnlyRealDatesAndEscapedTextAndReadBack) {
    put("http://x/?a=1&b=\"<>\"", "a<z & <b>b</b> &amp;", "k_1 -", 100, 5, 4294967292u);
    Bookmark* moved = put("http://v/", "V", nullptr, 0, 7, DATE_BROKEN);
    Bookmark* failed = put("http://w/", "W", "w", 1, 8, DATE_CHECKING);
    CheckResult check = {VERDICT_MOVED, DATE_UNSET, 301, 0, str_dup("https://w/\"new\"?a>b"), CHECK_ERROR_NONE};
    store_check_result(moved, &check, 1000000000);
    free_check_result(&check);
    check = {VERDICT_GONE, DATE_BROKEN, 404, 0, nullptr, CHECK_ERROR_NONE, str_dup("http://a/web/1/http://w/?\"a>b\"")};
    store_check_result(failed, &check, 999999999);
    free_check_result(&check);
    check = {VERDICT_BLOCKED, DATE_UNSET, 403, 0, nullptr, CHECK_ERROR_NONE};  // not judged: the copy stays
    store_check_result(failed, &check, 1000000000);
    PtrVector* order = vec_create();
    for (uint32_t i = c.records->count; i-- > 0;) vec_append(order, c.records->items[i]);
    const std::string written = text(order);
    EXPECT_EQ(written, std::string(COLLECTION_FILE_HEADER) +
                           "<DT><A HREF=\"http://w/\" ADD_DATE=\"1\" LAST_VISIT=\"8\" LAST_CHECK=\"1000000000\" "
                           "CHECK_VERDICT=\"blocked\" CHECK_STATUS=\"403\" "
                           "ARCHIVE=\"http://a/web/1/http://w/?%22a%3Eb%22\" >W</A>\r\n<DD>w\r\n\r\n"
                           "<DT><A HREF=\"http://v/\" ADD_DATE=\"0\" LAST_VISIT=\"7\" LAST_CHECK=\"1000000000\" "
                           "CHECK_VERDICT=\"moved\" CHECK_STATUS=\"301\" "
                           "MOVED_TO=\"https://w/%22new%22?a%3Eb\" >V</A>\r\n"
                           "<DD>\r\n\r\n"
                           "<DT><A HREF=\"http://x/?a=1&b=%22<>%22\" ADD_DATE=\"100\" LAST_VISIT=\"5\" "
                           "LAST_MODIFIED=\"4294967292\" "
                           ">a&lt;z &amp; &lt;b&gt;b&lt;/b&gt; &amp;amp;</A>\r\n<DD>k_1 -\r\n\r\n" +
                           COLLECTION_FILE_FOOTER);
    vec_destroy(order);
    Collection back = create_collection();
    read_bookmark_text(&back, written.c_str(), false, nullptr, nullptr);
    EXPECT_EQ(take_text(build_collection_text(back.records)), written);
    free_collection(&back);
}

// Each folder once, its own bookmarks (in their order) before the folders
// within it. (Its layout and escapes: lktool load --folders's golden run.)
TEST_F(FileFixture, FolderTreeNestsEachFolderOnceAndReadsBack) {
    const char* const entries[][2] = {{"http://1/", "a/b"}, {"http://2/", nullptr}, {"http://3/", "a b"},
                                      {"http://4/", "a"},   {"http://5/", "a/b"},   {"http://6/", "%3Cx%3E%2F"},
                                      {"http://7/", ""}};
    for (const auto& e : entries) put(e[0], "T", nullptr, 1, 1, DATE_UNSET)->folder = e[1] ? str_dup(e[1]) : nullptr;
    const std::string tree = take_text(build_folder_tree_text(c.records));
    // Each heading as '[' and its name, each list's end as ']', each bookmark as its number.
    std::string shape;
    for (size_t at = tree.find("<DL><p>") + 1; (at = tree.find('<', at)) != std::string::npos; at++) {
        if (tree.compare(at, 8, "<DT><H3>") == 0) shape += "[" + tree.substr(at + 8, tree.find('<', at + 8) - at - 8);
        if (tree.compare(at, 5, "</DL>") == 0) shape += "]";
        if (tree.compare(at, 20, "<DT><A HREF=\"http://") == 0) shape += tree[at + 20];
    }
    EXPECT_EQ(shape, "2[7][&lt;x&gt;/6][a4[b15]][a b3]]");
    Collection back = create_collection();
    read_bookmark_text(&back, tree.c_str(), false, nullptr, nullptr);
    PtrVector* order = vec_create();
    for (uint32_t i = 0; i < back.records->count; i++)
        vec_append(order, find_by_url(&c, static_cast<Bookmark*>(back.records->items[i])->url));
    EXPECT_EQ(text(order), take_text(build_collection_text(back.records)));
    vec_destroy(order);
    free_collection(&back);
}

// The new file is complete before anything else moves; the next save rotates
// as usual. Many pieces, nothing cut or repeated at a piece's edge.
TEST_F(FileFixture, FailedSaveAtAnyStepLeavesFileAndBackupAsTheyWere) {
    for (int i = 0; i < 600; i++) {
        std::string url = "http://example.org/page/" + std::to_string(i);
        std::string title = i % 5 == 0 ? std::string(5000, 't') : "Title <" + std::to_string(i) + "> & more";
        put(url.c_str(), title.c_str(), "alpha beta gamma", static_cast<uint32_t>(i), 7, DATE_UNSET);
    }
    ASSERT_GT(text().size(), 500000u);
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
    TempDir dir;  // no file yet: nothing to keep
    dir.write("lk.htm.bak", "the only copy");
    ASSERT_TRUE(save_collection(&c, dir.path("lk.htm").c_str(), true));
    EXPECT_EQ(dir.read("lk.htm.bak"), "the only copy");
    EXPECT_EQ(dir.read("lk.htm"), text());
}

// Folders where the file, its folder or its backup should be.
TEST_F(FileFixture, SaveThatCannotWriteFailsAndKeepsWhatWasThere) {
    TempDir dir;
    EXPECT_FALSE(save_collection(&c, dir.path("missing/lk.htm").c_str(), true));
    dir.write("lk.htm", "the previous collection");
    dir.make_folder("lk.htm.bak");
    dir.write("lk.htm.bak/inside", "x");
    EXPECT_FALSE(save_collection(&c, dir.path("lk.htm").c_str(), true));
    EXPECT_EQ(dir.read("lk.htm"), "the previous collection");
    EXPECT_EQ(dir.names(), (std::set<std::string>{"lk.htm", "lk.htm.bak"}));
    EXPECT_EQ(dir.names("lk.htm.bak"), std::set<std::string>{"inside"});
    EXPECT_FALSE(save_collection(&c, dir.path("lk.htm.bak").c_str(), false));
    EXPECT_EQ(dir.names("lk.htm.bak"), std::set<std::string>{"inside"});
}

}  // namespace
