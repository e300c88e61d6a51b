// Browsers' own stores: the Chromium reader, the profile tree the fixture
// script makes and the Firefox copy. (The hand-over to the collection, its
// folder words, repaired bytes, counts and reasons: lktool load's golden runs.)
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "collection/browser_profiles.h"
#include "collection/chromium_bookmarks.h"
#include "collection/collection.h"
#include "collection/firefox_places.h"
#include "collection/import_report.h"
#include "collection/store_bookmarks.h"
#include "core/bookmark.h"
#include "tests/temp_dir.h"

namespace {

std::string date_text(uint32_t date) { return is_real_date(date) ? std::to_string(date) : "-"; }

// One line per bookmark: folders/...|title|url|added|last visit|keywords, or the failure.
std::string dump(const StoreRead& read) {
    if (!read.failure.empty()) return "failure: " + read.failure;
    std::string out;
    for (const StoreBookmark& b : read.bookmarks) {
        for (size_t i = 0; i < b.folders.size(); i++) out += (i ? "/" : "") + b.folders[i];
        out += "|" + b.title + "|" + b.url + "|" + date_text(b.added) + "|" + date_text(b.last_visit) + "|";
        for (size_t i = 0; i < b.keywords.size(); i++) out += (i ? "," : "") + b.keywords[i];
        out += "\n";
    }
    return out;
}

std::string read_json(const std::string& text) { return dump(read_chromium_bookmarks(text.data(), text.size())); }

std::string url(const char* name, const char* address, const char* dates = "") {
    return std::string("{\"type\":\"url\",\"name\":\"") + name + "\",\"url\":\"" + address + "\"" + dates + "}";
}

std::string folder(const char* name, const std::string& children) {
    return std::string("{\"type\":\"folder\",\"name\":\"") + name + "\",\"children\":[" + children + "]}";
}

std::string roots(const std::string& bar, const std::string& other = "", const std::string& synced = "") {
    return "{\"roots\":{\"bookmark_bar\":" + folder("Bar", bar) + ",\"other\":" + folder("Other", other) +
           ",\"synced\":" + folder("Mobile", synced) + "},\"version\":1}";
}

TEST(ChromiumBookmarks, ReadsRootsFoldersDatesAndStrayBytes) {
    const struct {
        std::string text;
        const char* dump;
    } cases[] = {
        // Roots in the browser's order, folder paths below them, unknown roots passed over.
        {"{\"roots\":{\"trash\":" + folder("T", url("t", "http://t/")) +
             ",\"synced\":" + folder("M", url("m", "http://m/")) + ",\"other\":" + folder("O", url("o", "http://o/")) +
             ",\"bookmark_bar\":" +
             folder("B", folder("F1", url("u1", "http://1/") + "," + folder("F2", url("u2", "http://2/"))) + "," +
                             url("u3", "http://3/")) +
             "}}",
         "F1|u1|http://1/|-|-|\nF1/F2|u2|http://2/|-|-|\n|u3|http://3/|-|-|\n|o|http://o/|-|-|\n|m|http://m/|-|-|\n"},
        // Microseconds since 1601 as strings (numbers too); nothing that is no date.
        {roots(url("a", "http://a/", ",\"date_added\":\"13350000000000000\",\"date_last_used\":\"13350000001000000\"") +
               "," + url("b", "http://b/", ",\"date_added\":13350000000000000,\"date_last_used\":\"0\"") + "," +
               url("c", "http://c/", ",\"date_added\":\"-5\",\"date_last_used\":\"12x\"") + "," +
               url("d", "http://d/", ",\"date_added\":\"99999999999999999999\",\"date_last_used\":\"1000\"") + "," +
               url("e", "http://e/", ",\"date_added\":\"13350000000000000 \",\"date_last_used\":null")),
         "|a|http://a/|1705526400|1705526401|\n|b|http://b/|1705526400|-|\n|c|http://c/|-|-|\n|d|http://d/|-|-|\n"
         "|e|http://e/|-|-|\n"},
        // Stray bytes are kept as they are; entries without a URL reach the
        // collection, which skips them; nodes of no known kind are passed over.
        {roots(url("Caf\xE9", "http://cafe/") + "," + "{\"type\":\"url\",\"name\":\"none\"}" + ",7,[]," +
               "{\"type\":\"folder\",\"name\":\"empty\"}," + "{\"type\":\"folder\",\"children\":{}}," +
               "{\"name\":\"x\",\"url\":\"http://x/\"}," + folder("F\\u00e9", url("n", "http://n/"))),
         "|Caf\xE9|http://cafe/|-|-|\n|none||-|-|\nF\xC3\xA9|n|http://n/|-|-|\n"},
        // What is no bookmarks file.
        {"", "failure: not a bookmarks file: The document is empty (byte 0)"},
        {"[1]", "failure: not a bookmarks file (no roots)"},
        {"{\"roots\":[]}", "failure: not a bookmarks file (no roots)"},
        {roots(url("a", "http://a/")).substr(0, 60),
         "failure: not a bookmarks file: Missing a closing quotation mark in "
         "string (byte 60)"},
        {roots(url("a", "http://a/")) + "x",
         "failure: not a bookmarks file: The document root must not be followed "
         "by other values (byte 238)"},
    };
    for (const auto& c : cases) EXPECT_EQ(read_json(c.text), c.dump) << c.text;

    for (const char* text : {"{\"roots\":{}}", "\xEF\xBB\xBF \r\n{\"checksum\":\"x\",\"roots\":"}) {
        EXPECT_TRUE(is_chromium_bookmarks_text(text, strlen(text))) << text;
    }
    for (const char* text : {"", "<!DOCTYPE NETSCAPE-Bookmark-file-1>", "[\"roots\"]", "{\"root\":1}"}) {
        EXPECT_FALSE(is_chromium_bookmarks_text(text, strlen(text))) << text;
    }
}

TEST(ChromiumBookmarks, NestingOfAnyDepthCostsNoStackAndKeepsTheOuterFolders) {
    const int kDepth = 100000;
    std::string text = "{\"roots\":{\"other\":{\"children\":[";
    for (int i = 0; i < kDepth; i++) text += "{\"name\":\"f" + std::to_string(i) + "\",\"children\":[";
    text += url("deep", "http://deep/");
    for (int i = 0; i < kDepth; i++) text += "]}";
    text += "]}}}";
    const StoreRead read = read_chromium_bookmarks(text.data(), text.size());
    ASSERT_EQ(read.bookmarks.size(), 1u);
    ASSERT_EQ(read.bookmarks[0].folders.size(), STORE_FOLDER_DEPTH);
    EXPECT_EQ(read.bookmarks[0].folders.back(), "f" + std::to_string(STORE_FOLDER_DEPTH - 1));
    // Unclosed arrays of any depth are refused the same way.
    const std::string open(kDepth, '[');
    EXPECT_EQ(read_json(open).substr(0, 29), "failure: not a bookmarks file");
}

TEST(StoreBookmarks, TakesDatesItCanHoldAndRepairsStrayBytes) {
    const int64_t kSecond = 1000000;
    const struct {
        int64_t microseconds;
        uint32_t date;
    } dates[] = {
        {0, DATE_UNSET},
        {-5 * kSecond, DATE_UNSET},
        {1700000000 * kSecond + 999999, 1700000000},
        {(DATE_CHECKING - 1) * kSecond, DATE_CHECKING - 1},
        {DATE_CHECKING * kSecond, DATE_UNSET},
        {INT64_MAX, DATE_UNSET},
    };
    for (const auto& d : dates) EXPECT_EQ(date_of_unix_microseconds(d.microseconds), d.date) << d.microseconds;

    const struct {
        const char* text;
        const char* repaired;
    } cases[] = {
        {"plain", "plain"},
        {"Caf\xC3\xA9", "Caf\xC3\xA9"},
        {"Caf\xE9", "Caf\xEF\xBF\xBD"},
        {"\xE2\x82 cut", "\xEF\xBF\xBD\xEF\xBF\xBD cut"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(repaired_utf8(c.text), c.repaired) << c.text;
}

std::string file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void set_temp_folder(const std::string& path) {
#ifdef _WIN32
    _putenv_s("TMP", path.c_str());
    _putenv_s("TEMP", path.c_str());
#else
    setenv("TMPDIR", path.c_str(), 1);
#endif
}

TEST(FirefoxPlaces, ReadsACopyAndLeavesTheBrowsersFilesAndNoCopyBehind) {
    const std::string profiles = LK_STORES_DIR "/profiles/";
    const std::string release = profiles + "Roaming/Mozilla/Firefox/Profiles/bbbb.default-release/places.sqlite";
    TempDir temp;
    const char* saved = getenv("TMPDIR");
    const std::string saved_tmpdir = saved ? saved : "";
    set_temp_folder(temp.path());
    const struct {
        std::string path;
        const char* failure;
    } cases[] = {
        {release, ""},
        {profiles + "Other/plain.sqlite", "not a Firefox bookmarks database"},
        {profiles + "Other/view.sqlite", "not a Firefox bookmarks database"},
        {profiles + "Other/missing.sqlite", "the database cannot be copied"},
        {LK_TEST_DATA_DIR "/collection/chrome.htm", "the copy of the database fails its check"},
    };
    const std::string before = file_bytes(release) + file_bytes(release + "-wal");
    for (const auto& c : cases) {
        const StoreRead read = read_firefox_places(c.path.c_str());
        EXPECT_EQ(read.failure, c.failure) << c.path;
        EXPECT_EQ(read.bookmarks.empty(), !read.failure.empty()) << c.path;
        EXPECT_TRUE(temp.names().empty()) << c.path;
    }
    EXPECT_EQ(file_bytes(release) + file_bytes(release + "-wal"), before);
    set_temp_folder(saved_tmpdir);
}

// The fixture tree of tools/stores/browser_stores.py, each store found and
// read, is lktool browsers' and lktool load's golden runs.
TEST(BrowserProfiles, FindsTheStoresOfAFolderTheUserNames) {
    const std::string root = LK_STORES_DIR "/profiles/";
    const struct {
        const char* folder;
        const char* found;  // browser|profile|file below the folder; ...
    } cases[] = {
        {"Local/Google/Chrome/User Data",
         "Chromium|Work|Default/Bookmarks;Chromium|Work|Default/AccountBookmarks;Chromium|Home|Profile 1/Bookmarks;"},
        {"Local/Google/Chrome/User Data/Profile 1", "Chromium|Profile 1|Bookmarks;"},
        {"Roaming/Mozilla/Firefox/Profiles/cccc.dev-edition-default",
         "Firefox|cccc.dev-edition-default|places.sqlite;"},
        {"Local/Google", ""},
        {"no such folder", ""},
    };
    for (const auto& c : cases) {
        const std::string folder = root + c.folder;
        std::string found;
        for (const BrowserStore& store : find_stores_in_folder(folder)) {
            const bool below = store.file.compare(0, folder.size() + 1, folder + "/") == 0;
            found += store.browser + "|" + store.profile + "|" +
                     (below ? store.file.substr(folder.size() + 1) : store.file) + ";";
        }
        EXPECT_EQ(found, c.found) << c.folder;
    }
    EXPECT_TRUE(find_browser_stores(root + "Roaming", root + "Local").empty());
    EXPECT_TRUE(find_browser_stores("", "").empty());
}

TEST(ImportReport, NamesEachSourceWithItsCounts) {
    ImportReport report = create_import_report();
    ImportReport part = create_import_report();
    part.added = 1204;
    part.merged = 3;
    add_source_report(&report, "Chrome (Work)", part);
    note_unread_source(&report, "Brave (Default)", "the file cannot be read");
    part.added = 1234567;
    add_source_report(&report, "Firefox (default-release)", part);
    EXPECT_STREQ(tb_text(report.sources),
                 "Chrome (Work): 1,204 added, 3 merged, 0 skipped\n"
                 "Brave (Default): the file cannot be read\n"
                 "Firefox (default-release): 1,234,567 added, 3 merged, 0 skipped\n");
    EXPECT_EQ(report.added, 1235771u);
    EXPECT_EQ(report.merged, 6u);
    free_import_report(&part);
    free_import_report(&report);
}

}  // namespace
