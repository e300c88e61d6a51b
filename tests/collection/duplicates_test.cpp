// Which URLs are the same page, the site: and is: terms over a collection
// (how they follow its changes: the collection's random walk), the duplicate
// groups of a generated collection with planted duplicates, the keeper rules
// and the merge.
#include "collection/duplicates.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "checker/host_ascii.h"
#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/page_address.h"
#include "collection/record_terms.h"
#include "search/keyword_index.h"
#include "tests/collection/collection_invariants.h"
#include "tests/take_text.h"
#include "tools/gen_bookmarks/bookmark_generator.h"

namespace {

// Pairs kept apart from the rules' own examples: each says whether the two
// are the same page.
TEST(PageKey, SameAndDifferentPages) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"HTTP://Example.ORG/Path", "http://example.org/Path", true},
        {"http://example.org/a", "https://example.org/a", true},
        {"http://www.example.org/a", "https://example.org/a", true},
        {"http://example.org:80/a", "http://example.org/a", true},
        {"https://example.org:443/a", "http://example.org/a", true},
        {"http://example.org:/a", "http://example.org/a", true},
        {"http://example.org", "http://example.org/", true},
        {"http://example.org?x=1", "http://example.org/?x=1", true},
        {"http://example.org/a#top", "http://example.org/a", true},
        {"http://example.org/a?utm_source=x&id=3&UTM_Medium=y", "http://example.org/a?id=3", true},
        {"http://example.org/a?fbclid=1&gclid=2&mc_eid=3&msclkid=4", "http://example.org/a", true},
        {"http://example.org/a?id=3&&utm_campaign=z#p", "http://example.org/a?id=3", true},
        {"http://[::1]:80/", "http://[::1]/", true},
        {"http://example.org/a?", "http://example.org/a", true},
        // A host written beyond ASCII and its IDNA form.
        {"http://bücher.example/a", "https://xn--bcher-kva.example/a", true},
        {"http://www.Bücher.example/", "http://XN--BCHER-KVA.example", true},
        {"http://xn--bcher-kva.example/a", "http://bucher.example/a", false},
        // Never the same.
        {"http://example.org/Path", "http://example.org/path", false},
        {"http://example.org/a?id=3", "http://example.org/a?id=4", false},
        {"http://example.org/a?x=1&y=2", "http://example.org/a?y=2&x=1", false},
        {"http://example.org/a?id=3", "http://example.org/a", false},
        {"http://example.org:8080/a", "http://example.org/a", false},
        {"https://example.org:80/a", "http://example.org/a", false},
        {"http://example.org/a/", "http://example.org/a", false},
        {"http://blog.example.org/", "http://example.org/", false},
        {"http://www.example/", "http://example/", false},
        {"http://user@example.org/", "http://example.org/", false},
        {"http://example.org/a?utmost=1", "http://example.org/a", false},
        {"http://example.org/a?ref=x", "http://example.org/a", false},
        {"ftp://example.org/a", "http://example.org/a", false},
        {"ftp://example.org/a#x", "ftp://example.org/a", false},
        {"mailto:a@example.org", "MAILTO:a@example.org", false},
        {"javascript:go('#a')", "javascript:go('#b')", false},
        {"example.org/a", "http://example.org/a", false},
        // Truncated and garbage addresses are their own keys.
        {"http:", "http:", true},
        {"http://", "http:///", true},
        {"http://\xff\xfe/", "http://\xff\xfe", true},
        {"h\x01://x", "h\x01://x/", false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(page_key(row.a, host_ascii) == page_key(row.b, host_ascii), row.same) << row.a << " | " << row.b;
    }
    EXPECT_EQ(page_key("HTTPS://WWW.Example.org:443?b=2&utm_x=1&a=1#f"), "//example.org/?b=2&a=1");
}

struct TermsFixture : ::testing::Test {
    Collection c = create_collection();
    RecordTerms terms = create_record_terms(&c, host_ascii);
    ~TermsFixture() override {
        free_record_terms(&terms);
        free_collection(&c);
    }
    Bookmark* add(const char* url, const char* keywords = nullptr, uint32_t added = DATE_UNSET) {
        add_or_merge(&c, str_dup("t"), str_dup(url), keywords, added, DATE_UNSET, DATE_UNSET, false);
        return find_by_url(&c, url);
    }
    std::string selected(const char* expression) { return term_records(&terms, expression); }
};

// The host as written: no user, port, final period, query or path.
TEST_F(TermsFixture, SiteTakesSubdomainsAndBothSpellingsOfANameBeyondAscii) {
    add("http://example.org/a");                    // 0
    add("https://User:pw@News.Example.ORG.:81/b");  // 1
    add("http://notexample.org/");                  // 2
    add("http://example.org.evil.example/");        // 3
    add("http://bücher.example/");                  // 4
    add("http://www.xn--bcher-kva.example/");       // 5
    add("mailto:someone@example.org");              // 6
    add("http://BÜCHER.example/x");                 // 7
    add("http://q.example?q=a/b.example.org");      // 8
    add("example.org/a");                           // 9
    add("http://x/");                               // 10
    EXPECT_EQ(selected("site:example.org"), "0 1");
    EXPECT_EQ(selected("site:EXAMPLE.org."), "0 1");
    EXPECT_EQ(selected("site:news.example.org"), "1");
    EXPECT_EQ(selected("site:org"), "0 1 2");
    EXPECT_EQ(selected("site:q.example"), "8");
    EXPECT_EQ(selected("site:bücher.example"), "4 5 7");
    EXPECT_EQ(selected("site:xn--bcher-kva.example"), "4 5 7");
    EXPECT_EQ(selected("site:www.bücher.example"), "5");
    EXPECT_EQ(selected("site:le.org"), "");
    EXPECT_EQ(selected("site:x"), "10");
}

TEST_F(TermsFixture, StatesFromTheChecksAndDuplicatesFromTheWholeCollection) {
    const uint32_t now = 2000000000;
    auto checked = [&](const char* url, CheckVerdict verdict, uint32_t since) {
        Bookmark* b = add(url);
        CheckResult result = {verdict, DATE_UNSET, 0, 0, nullptr, CHECK_ERROR_NONE};
        if (verdict == VERDICT_MOVED) result.target = str_dup("http://elsewhere.example/");
        store_check_result(b, &result, now - since);
        store_check_result(b, &result, now);
        free_check_result(&result);
        return b;
    };
    checked("http://a.example/gone", VERDICT_GONE, 0);                                 // 0
    checked("http://a.example/down", VERDICT_UNREACHABLE, 60);                         // 1
    checked("http://a.example/long-down", VERDICT_UNREACHABLE, BROKEN_AFTER_SECONDS);  // 2
    checked("http://a.example/moved", VERDICT_MOVED, 0);                               // 3
    checked("http://a.example/blocked", VERDICT_BLOCKED, 0);                           // 4
    checked("mailto:x@a.example", VERDICT_NOT_CHECKED, 0);                             // 5
    add("http://a.example/new");                                                       // 6
    Bookmark* changed = checked("http://a.example/ok", VERDICT_OK, 0);                 // 7
    changed->last_modified = now;
    changed->last_visit = now - 1;
    checked("https://A.example/gone#x", VERDICT_OK, 0);  // 8
    EXPECT_EQ(selected("is:broken"), "0 2");
    EXPECT_EQ(selected("is:suspect"), "1");
    EXPECT_EQ(selected("is:moved"), "3");
    EXPECT_EQ(selected("is:blocked"), "4");
    EXPECT_EQ(selected("is:unchecked"), "5 6");
    EXPECT_EQ(selected("is:changed"), "7");
    EXPECT_EQ(selected("is:duplicate"), "0 8");
    // Kept while the collection is unchanged, found again after an edit.
    add("http://www.a.example/new?utm_source=x");
    EXPECT_EQ(selected("is:duplicate"), "0 6 8 9");
}

// The keeper rules over one group, an undated bookmark never kept and equal
// dates settled by identity; the merge keeps one with every word of the group.
// (The groups of a whole file and the rules' choice there: lktool duplicates.)
TEST_F(TermsFixture, KeeperRulesAndTheMergeKeepEveryWord) {
    Bookmark* undated = add("http://a.example/x", "none");
    Bookmark* oldest = add("https://a.example/x", "first", 5);
    Bookmark* tie = add("http://www.a.example/x?utm_source=y", "tie", 5);
    Bookmark* newest = add("http://a.example/x#top", "last", 9);
    Bookmark* other = add("http://a.example/x?page=2", "other", 1);
    undated->added = DATE_UNSET;
    const std::vector<DuplicateGroup> groups = find_duplicates(c.records);
    ASSERT_EQ(groups, (std::vector<DuplicateGroup>{{undated, oldest, tie, newest}}));
    EXPECT_EQ(choose_keeper(groups[0], KEEP_OLDEST), oldest);
    EXPECT_EQ(choose_keeper(groups[0], KEEP_NEWEST), newest);
    newest->added = 5;
    EXPECT_EQ(choose_keeper(groups[0], KEEP_NEWEST), newest) << "the last of equal dates";
    EXPECT_FALSE(merge_duplicates(&c, groups[0], other));
    EXPECT_EQ(c.records->count, 5u);
    ASSERT_TRUE(merge_duplicates(&c, groups[0], tie));
    EXPECT_EQ(take_text(keyword_set_text(tie->keywords)), "tie none first last");
    EXPECT_EQ(c.records->count, 2u);
    EXPECT_EQ(check_collection(&c), "");
}

// A generated collection, then copies of some of its URLs written another way
// (which must join their originals) and near misses (which must not).
TEST(Duplicates, PlantedInAGeneratedCollectionAndMerged) {
    Collection c = create_collection();
    const std::string file = generate_bookmark_file(3000, 7);
    read_bookmark_text(&c, file.c_str(), false, nullptr, nullptr);
    const size_t natural = find_duplicates(c.records).size();
    std::vector<std::string> originals;
    for (uint32_t i = 0; i < c.records->count; i += 150) {
        const std::string url = static_cast<Bookmark*>(c.records->items[i])->url;
        if (url.compare(0, 4, "http") == 0 && url.find('#') == std::string::npos) originals.push_back(url);
    }
    ASSERT_GE(originals.size(), 10u);
    auto add = [&](const std::string& url, const char* keywords, uint32_t added) {
        add_or_merge(&c, str_dup("copy"), str_dup(url.c_str()), keywords, added, DATE_UNSET, DATE_UNSET, false);
    };
    for (const std::string& url : originals) {
        const size_t host = url.find("://") + 3;
        const std::string www = url.substr(0, host) + "www." + url.substr(host);
        const std::string flipped = url.compare(0, 5, "https") == 0 ? "http" + url.substr(5) : "https" + url.substr(4);
        add(flipped + "#planted", "planted", 5);
        add(www + (url.find('?') == std::string::npos ? "?utm_source=feed" : "&fbclid=1"), "www", 4000000000u);
        add(url + (url.find('?') == std::string::npos ? "?page=2" : "&page=2"), "near", 5);  // another page
    }
    const std::vector<DuplicateGroup> groups = find_duplicates(c.records);
    ASSERT_GE(groups.size(), originals.size());
    EXPECT_LE(groups.size(), natural + originals.size());
    const uint32_t before = c.records->count;
    size_t planted_groups = 0, removed = 0;
    for (const DuplicateGroup& group : groups) {
        for (size_t i = 1; i < group.size(); i++) EXPECT_LT(compare_record_identity(group[i - 1], group[i]), 0);
        bool planted = false;
        for (const Bookmark* b : group) {
            const std::string words = take_text(keyword_set_text(b->keywords));
            planted = planted || words.find("planted") != std::string::npos;
            EXPECT_EQ(words.find("near"), std::string::npos) << b->url;
        }
        planted_groups += planted;
        // The oldest keeps the earliest date; the newest the copy dated 4000000000.
        Bookmark* keeper = choose_keeper(group, KEEP_NEWEST);
        if (planted) {
            EXPECT_GE(group.size(), 3u);
            EXPECT_EQ(choose_keeper(group, KEEP_OLDEST)->added, 5u);
            EXPECT_EQ(keeper->added, 4000000000u);
        }
        // Merging keeps one per group with every group's words.
        removed += group.size() - 1;
        ASSERT_TRUE(merge_duplicates(&c, group, keeper));
        const std::string words = take_text(keyword_set_text(keeper->keywords));
        EXPECT_EQ(planted, words.find("planted") != std::string::npos && words.find("www") != std::string::npos);
    }
    EXPECT_EQ(planted_groups, originals.size());
    EXPECT_EQ(c.records->count, before - removed);
    EXPECT_TRUE(find_duplicates(c.records).empty());
    EXPECT_EQ(check_collection(&c), "");
    // A keeper outside its group changes nothing.
    DuplicateGroup lone = {static_cast<Bookmark*>(c.records->items[0]), static_cast<Bookmark*>(c.records->items[1])};
    EXPECT_FALSE(merge_duplicates(&c, lone, static_cast<Bookmark*>(c.records->items[2])));
    EXPECT_EQ(c.records->count, before - removed);
    free_collection(&c);
}

}  // namespace
