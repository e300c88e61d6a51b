#include "collection/collection.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "search/keyword_index.h"
#include "tests/collection/collection_invariants.h"

namespace {

const uint32_t kNow = 1000000000;

struct CollectionFixture : ::testing::Test {
    Collection c = create_collection();

    CollectionFixture() { set_fixed_clock(&c, kNow); }
    ~CollectionFixture() override { free_collection(&c); }

    void add(const char* title, const char* url, const char* keywords = nullptr, uint32_t added = DATE_UNSET,
             uint32_t visit = DATE_UNSET, uint32_t modified = DATE_UNSET, bool automatic = false) {
        add_or_merge(&c, title ? str_dup(title) : nullptr, url ? str_dup(url) : nullptr, keywords, added, visit,
                     modified, automatic);
    }
    Bookmark* record(uint32_t i) { return static_cast<Bookmark*>(c.records->items[i]); }
    std::string keywords_of(const Bookmark* r) {
        char* text = keyword_set_text(r->keywords);
        std::string result = text;
        free(text);
        return result;
    }
};

TEST_F(CollectionFixture, NewRecordsAreEmptyWithUnsetDatesAndRisingSerials) {
    Bookmark* a = new_record(&c);
    Bookmark* b = new_record(&c);
    EXPECT_EQ(a->url, nullptr);
    EXPECT_EQ(a->title, nullptr);
    EXPECT_EQ(a->keywords, nullptr);
    EXPECT_EQ(a->flags, 0u);
    EXPECT_EQ(a->added, DATE_UNSET);
    EXPECT_EQ(a->last_visit, DATE_UNSET);
    EXPECT_EQ(a->last_modified, DATE_UNSET);
    EXPECT_LT(a->serial, b->serial);
    free(a);
    free(b);
}

TEST_F(CollectionFixture, UrlComparisonFoldsOnlyAsciiLetters) {
    EXPECT_EQ(compare_urls("HTTP://Example.COM/A", "http://example.com/a"), 0);
    EXPECT_LT(compare_urls("http://a", "http://ab"), 0);
    EXPECT_GT(compare_urls("http://\xE9", "http://z"), 0);
    EXPECT_NE(compare_urls("\xC9", "\xE9"), 0);
    EXPECT_LT(compare_urls("[", "a"), 0);  // after folding, 'A'..'Z' sort as 'a'..'z'
}

TEST_F(CollectionFixture, AddTrimsAndTitlesUntitledBookmarksWithTheirUrl) {
    EXPECT_EQ(add_or_merge(&c, str_dup("  Title \t"), str_dup(" http://x/ \r\n"), nullptr, 1, 1, 1, true), ADD_ADDED);
    EXPECT_EQ(add_or_merge(&c, str_dup("Again"), str_dup("HTTP://X/"), nullptr, 1, 1, 1, true), ADD_MERGED);
    EXPECT_EQ(add_or_merge(&c, str_dup("No URL"), str_dup("  "), nullptr, 1, 1, 1, true), ADD_SKIPPED);
    EXPECT_EQ(add_or_merge(&c, str_dup("Null URL"), nullptr, nullptr, 1, 1, 1, true), ADD_SKIPPED);
    add("   ", "http://blank-title/", "from the description", DATE_UNSET, DATE_UNSET, DATE_UNSET, true);
    add(nullptr, "http://null-title/");
    ASSERT_EQ(c.records->count, 3u);
    EXPECT_STREQ(record(0)->title, "Title");
    EXPECT_STREQ(record(0)->url, "http://x/");
    EXPECT_STREQ(record(1)->title, "http://blank-title/");
    EXPECT_EQ(keywords_of(record(1)), "description") << "a URL never gives keywords";
    EXPECT_STREQ(record(2)->title, "http://null-title/");
    EXPECT_EQ(check_collection(&c), "");
}

// A URL is stored in the form the collection file gives back: one that would
// vanish from the file (empty, "#...") is refused, a quote becomes "%22".
TEST_F(CollectionFixture, UrlsAreStoredAsTheFileGivesThemBack) {
    const struct {
        const char* given;
        const char* stored;  // null: refused
    } cases[] = {
        {"http://a/\"q\"", "http://a/%22q%22"},
        {" \t\"http://b/\" ", "%22http://b/%22"},
        {"#top", nullptr},
        {"  #top", nullptr},
        {"", nullptr},
        {"\r\n", nullptr},
        {"http://c/#top", "http://c/#top"},
        {"http://d/ spaced out/", "http://d/ spaced out/"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.given);
        char* tidied = tidy_url(str_dup(test.given));
        EXPECT_EQ(is_storable_url(tidied), test.stored != nullptr);
        if (test.stored) {
            EXPECT_STREQ(tidied, test.stored);
        }
        free(tidied);
        uint32_t before = c.records->count;
        add("Title", test.given);
        ASSERT_EQ(c.records->count, before + (test.stored ? 1 : 0));
        if (test.stored) {
            EXPECT_STREQ(record(before)->url, test.stored);
        }
    }
    add("Merged", "http://a/%22Q%22");
    EXPECT_EQ(c.records->count, 4u) << "the quoted and the encoded address are one";
}

TEST_F(CollectionFixture, NewRecordDates) {
    add("Favorite", "http://fav/");
    add("Dated", "http://dated/", nullptr, 10, 20, 30);
    add("Checking", "http://checking/", nullptr, 10, 20, DATE_CHECKING);
    add("Broken", "http://broken/", nullptr, DATE_BROKEN, DATE_CHECKING, DATE_BROKEN);
    Bookmark* fav = find_by_url(&c, "http://fav/");
    EXPECT_EQ(fav->added, kNow);
    EXPECT_EQ(fav->last_visit, kNow);
    EXPECT_EQ(fav->last_modified, DATE_UNSET);
    Bookmark* dated = find_by_url(&c, "http://dated/");
    EXPECT_EQ(dated->added, 10u);
    EXPECT_EQ(dated->last_visit, 20u);
    EXPECT_EQ(dated->last_modified, 30u);
    EXPECT_EQ(find_by_url(&c, "http://checking/")->last_modified, DATE_UNSET);
    Bookmark* broken = find_by_url(&c, "http://broken/");
    EXPECT_EQ(broken->added, kNow);
    EXPECT_EQ(broken->last_visit, kNow);
    EXPECT_EQ(broken->last_modified, DATE_BROKEN);
}

// A file read in one batch dates its undated bookmarks with one moment: the
// time the reading began.
TEST_F(CollectionFixture, BatchDatesUndatedRecordsWithTheMomentItOpened) {
    set_fixed_clock(&c, 500);
    begin_add_batch(&c);
    set_fixed_clock(&c, 600);
    add("In batch", "http://batch/");
    end_add_batch(&c);
    add("After", "http://after/");
    EXPECT_EQ(find_by_url(&c, "http://batch/")->added, 500u);
    EXPECT_EQ(find_by_url(&c, "http://batch/")->last_visit, 500u);
    EXPECT_EQ(find_by_url(&c, "http://after/")->added, 600u);
}

TEST_F(CollectionFixture, UrlDifferingOnlyInCaseMergesIntoStoredRecord) {
    add("First", "http://Example.com/Page", "one", 10, 400, 300);
    add("Second", "HTTP://EXAMPLE.COM/page", "two", 20, 500, 200);
    ASSERT_EQ(c.records->count, 1u);
    Bookmark* r = record(0);
    EXPECT_STREQ(r->url, "http://Example.com/Page");
    EXPECT_STREQ(r->title, "First");
    EXPECT_EQ(keywords_of(r), "one");
    EXPECT_EQ(r->added, 10u);
    EXPECT_EQ(r->last_visit, 500u);     // a later date replaces
    EXPECT_EQ(r->last_modified, 300u);  // an earlier one does not
    EXPECT_EQ(check_collection(&c), "");
}

// A file without LAST_VISIT or LAST_MODIFIED says nothing about them: the
// stored dates must survive the merge.
TEST_F(CollectionFixture, MergeNeverReplacesStoredDateWithMissingOne) {
    add("T", "http://x/", nullptr, 10, 400, 300);
    add("T", "http://x/", nullptr, 100, DATE_UNSET, DATE_UNSET);
    add("T", "http://x/", nullptr, 100, DATE_CHECKING, DATE_BROKEN);
    EXPECT_EQ(record(0)->last_visit, 400u);
    EXPECT_EQ(record(0)->last_modified, 300u);
}

TEST_F(CollectionFixture, MergeKeepsStoredSentinelsAndIgnoresUndatedBookmarks) {
    add("T", "http://x/", nullptr, 10, 400, DATE_BROKEN);
    add("T", "http://x/", nullptr, 100, 500, 600);
    EXPECT_EQ(record(0)->last_modified, DATE_BROKEN);
    EXPECT_EQ(record(0)->last_visit, 500u);
    add("T", "http://x/", nullptr, DATE_UNSET, 900, 900);
    EXPECT_EQ(record(0)->last_visit, 500u);
}

TEST_F(CollectionFixture, KeywordsFromTitleOnlyInAutomaticMode) {
    add("Bob's Home Page", "http://plain/");
    add("Bob's Home Page", "http://auto/", nullptr, DATE_UNSET, DATE_UNSET, DATE_UNSET, true);
    add("The Linux Kernel", "http://both/", "kernel.org sources", 1, 1, 1, true);
    add("X Window", "http://desc/", "X foo.bar");
    Bookmark* plain = find_by_url(&c, "http://plain/");
    ASSERT_NE(plain->keywords, nullptr);
    EXPECT_EQ(keywords_of(plain), "");
    EXPECT_EQ(keywords_of(find_by_url(&c, "http://auto/")), "Bob");
    EXPECT_EQ(keywords_of(find_by_url(&c, "http://both/")), "Linux Kernel sources");
    EXPECT_EQ(keywords_of(find_by_url(&c, "http://desc/")), "X foo bar");
    // Kept as written, apart from the separators: every word once, in order.
    add("Messy", "http://messy/", " ,,a-b  c_d;X x X!? \t e ");
    EXPECT_EQ(keywords_of(find_by_url(&c, "http://messy/")), "a-b c_d X x e");
    add("Blank", "http://blank/", " ;, ");
    EXPECT_EQ(keywords_of(find_by_url(&c, "http://blank/")), "");
    EXPECT_EQ(check_collection(&c), "");
}

TEST_F(CollectionFixture, InsertKeepsIdentityOrderWhateverTheInsertionOrder) {
    Bookmark* made[4];
    const char* urls[] = {"http://d/", "http://c/", "http://b/", "http://a/"};
    for (int i = 0; i < 4; i++) {
        made[i] = new_record(&c);
        made[i]->url = str_dup(urls[i]);
        made[i]->title = str_dup("t");
    }
    for (int i : {2, 0, 3, 1}) insert_record(&c, made[i]);
    for (uint32_t i = 0; i < 4; i++) EXPECT_EQ(record(i), made[i]);
    EXPECT_EQ(c.records_by_url->items[0], made[3]);
    EXPECT_EQ(check_collection(&c), "");
}

TEST_F(CollectionFixture, DuplicateUrlStaysOutOfUrlOrderAndCanBeDeleted) {
    add("Stored", "http://dup/", "stored");
    Bookmark* twin = new_record(&c);
    twin->url = str_dup("http://DUP/");
    twin->title = str_dup("Twin");
    set_bookmark_keywords(&c, twin, "twin stored");
    insert_record(&c, twin);
    EXPECT_EQ(c.records->count, 2u);
    EXPECT_EQ(c.records_by_url->count, 1u);
    EXPECT_STREQ(find_by_url(&c, "http://dup/")->title, "Stored");
    EXPECT_EQ(check_collection(&c), "");
    delete_record(&c, twin);
    EXPECT_EQ(c.records->count, 1u);
    EXPECT_EQ(c.records_by_url->count, 1u);
    EXPECT_EQ(find_word_entry(c.keyword_index, "twin"), nullptr);
    EXPECT_EQ(check_collection(&c), "");
}

TEST_F(CollectionFixture, RepositionFollowsChangedUrl) {
    add("A", "http://a/");
    add("M", "http://m/");
    add("Z", "http://z/");
    Bookmark* a = find_by_url(&c, "http://a/");
    free(a->url);
    a->url = str_dup("http://zz/");
    reposition_by_url(&c, a);
    EXPECT_EQ(find_by_url(&c, "http://a/"), nullptr);
    EXPECT_EQ(find_by_url(&c, "HTTP://ZZ/"), a);
    EXPECT_EQ(record(0), a);
    EXPECT_EQ(c.records_by_url->items[2], a);
    EXPECT_EQ(check_collection(&c), "");
    delete_record(&c, a);
    EXPECT_EQ(c.records_by_url->count, 2u);
    EXPECT_EQ(check_collection(&c), "");
}

TEST_F(CollectionFixture, DeleteRemovesRecordFromVectorsAndIndex) {
    add("Alpha", "http://a/", "shared alpha");
    add("Beta", "http://b/", "shared beta");
    Bookmark* a = find_by_url(&c, "http://a/");
    delete_record(&c, a);
    EXPECT_EQ(find_by_url(&c, "http://a/"), nullptr);
    EXPECT_EQ(c.records->count, 1u);
    EXPECT_EQ(find_word_entry(c.keyword_index, "alpha"), nullptr);
    ASSERT_NE(find_word_entry(c.keyword_index, "shared"), nullptr);
    EXPECT_EQ(find_word_entry(c.keyword_index, "shared")->records->count, 1u);
    EXPECT_EQ(check_collection(&c), "");
    delete_record(&c, record(0));
    EXPECT_EQ(c.keyword_index->entries->count, 0u);
}

TEST(Clock, FixedClockBelongsToItsCollection) {
    Collection fixed = create_collection();
    Collection running = create_collection();
    set_fixed_clock(&fixed, 42);
    EXPECT_EQ(now(&fixed), 42u);
    EXPECT_GT(now(&running), 1500000000u);
    free_collection(&fixed);
    free_collection(&running);
}

// Random adds, merges, keyword edits, URL changes and deletes against a plain
// model, with the whole structure checked after every step.
TEST_F(CollectionFixture, RandomOperationsKeepCollectionConsistent) {
    struct Model {
        std::string url, title;
        uint32_t added, visit, modified;
    };
    std::vector<Model> model;
    auto find_model = [&](const std::string& url) -> Model* {
        for (Model& m : model) {
            if (compare_urls(m.url.c_str(), url.c_str()) == 0) return &m;
        }
        return nullptr;
    };
    const char* hosts[] = {"a", "B", "c", "ab", "Ab", "zz", "x-y", "q"};
    const char* words[] = {"Web", "web", "news", "the", "Home", "a.b", "kernel", "X"};
    const uint32_t dates[] = {5, 50, 500, DATE_UNSET, DATE_BROKEN, DATE_CHECKING};
    std::mt19937 rng(99);
    auto pick_text = [&](int max_words) {
        std::string text;
        for (int k = static_cast<int>(rng() % max_words); k > 0; k--) {
            text += std::string(words[rng() % 8]) + (rng() % 3 ? " " : ", ");
        }
        return text;
    };
    int renamed = 0;
    // Batches of additions open and end at random, nested up to three deep,
    // so that every operation also meets records not yet in `records_by_url`.
    int batches = 0;
    for (int step = 0; step < 4000; step++) {
        uint32_t op = rng() % 10;
        if (rng() % 50 == 0) {
            if (batches < 3 && rng() % 2) {
                begin_add_batch(&c);
                batches++;
            } else if (batches > 0) {
                end_add_batch(&c);
                batches--;
            }
        }
        if (op < 6) {
            std::string url = std::string("http://") + hosts[rng() % 8] + "/";
            for (char& ch : url) {
                if (rng() % 2) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
            }
            std::string title = pick_text(4);
            uint32_t added = dates[rng() % 6], visit = dates[rng() % 6], modified = dates[rng() % 6];
            add(title.c_str(), url.c_str(), pick_text(5).c_str(), added, visit, modified, rng() % 2);
            std::string trimmed_title = title;
            trim_in_place(&trimmed_title[0]);
            trimmed_title.resize(strlen(trimmed_title.c_str()));
            if (trimmed_title.empty()) trimmed_title = url;
            Model* m = find_model(url);
            if (m) {
                if (is_real_date(added)) {
                    if (is_real_date(visit) && m->visit < visit) m->visit = visit;
                    if (is_real_date(modified) && m->modified < modified) m->modified = modified;
                }
            } else {
                model.push_back({url, trimmed_title, is_real_date(added) ? added : kNow,
                                 is_real_date(visit) ? visit : kNow,
                                 modified == DATE_CHECKING ? DATE_UNSET : modified});
            }
        } else if (c.records->count == 0) {
            continue;
        } else {
            Bookmark* r = record(rng() % c.records->count);
            Model* m = find_model(r->url);
            ASSERT_NE(m, nullptr);
            if (op < 8) {
                set_bookmark_keywords(&c, r, pick_text(6).c_str());
            } else if (op < 9) {
                std::string url = "http://renamed" + std::to_string(renamed++) + "/";
                free(r->url);
                r->url = str_dup(url.c_str());
                reposition_by_url(&c, r);
                m->url = url;
            } else {
                model.erase(model.begin() + (m - model.data()));
                delete_record(&c, r);
            }
        }
        ASSERT_EQ(check_collection(&c), "") << "step " << step;
        ASSERT_EQ(c.records->count, model.size());
        for (const Model& m : model) {
            const Bookmark* r = find_by_url(&c, m.url.c_str());
            ASSERT_NE(r, nullptr) << m.url;
            ASSERT_EQ(r->title, m.title);
            ASSERT_EQ(r->added, m.added);
            ASSERT_EQ(r->last_visit, m.visit);
            ASSERT_EQ(r->last_modified, m.modified);
        }
    }
    while (batches-- > 0) end_add_batch(&c);
    EXPECT_EQ(check_collection(&c), "");
    EXPECT_EQ(c.records_by_url->count, model.size());
}

namespace {

// Everything that the order of additions decides: records in identity order
// with their fields and keywords, the URL order, the words and their lists.
std::string dump_collection(const Collection* c) {
    std::string dump;
    for (uint32_t i = 0; i < c->records->count; i++) {
        const Bookmark* r = static_cast<const Bookmark*>(c->records->items[i]);
        char* keywords = keyword_set_text(r->keywords);
        dump += std::to_string(r->serial) + " " + r->url + " " + r->title + " " + std::to_string(r->added) + " " +
                std::to_string(r->last_visit) + " " + std::to_string(r->last_modified) + " [" + keywords + "]\n";
        free(keywords);
    }
    dump += "by url:";
    for (uint32_t i = 0; i < c->records_by_url->count; i++) {
        dump += " " + std::to_string(static_cast<const Bookmark*>(c->records_by_url->items[i])->serial);
    }
    dump += "\n";
    const PtrVector* entries = c->keyword_index->entries;
    for (uint32_t i = 0; i < entries->count; i++) {
        const WordEntry* entry = static_cast<const WordEntry*>(entries->items[i]);
        dump += std::string(entry->word) + ":";
        for (uint32_t j = 0; j < entry->records->count; j++) {
            dump += " " + std::to_string(static_cast<const Bookmark*>(entry->records->items[j])->serial);
        }
        dump += "\n";
    }
    return dump;
}

}  // namespace

// The batch path of file reading against plain one-by-one additions: random
// bookmarks with URLs repeated in other letter cases, random dates and
// keyword texts, added to a collection that already holds some of them.
TEST(AddBatch, BatchedAdditionsEqualOneByOneAdditions) {
    // Long shared beginnings too: the batch's sort settles most comparisons on
    // the first bytes alone and must still order URLs that agree far beyond.
    const char* hosts[] = {"a",
                           "B",
                           "c",
                           "ab",
                           "Ab",
                           "zz",
                           "x-y",
                           "q",
                           "A",
                           "b/c",
                           "B/C",
                           "\xC4",
                           "www.example.com/a/long/shared/path",
                           "WWW.Example.com/a/long/shared/path/x"};
    const char* words[] = {"Web", "web", "news", "the", "Home", "a.b", "kernel", "X", "zeta", "Zeta"};
    const uint32_t dates[] = {5, 50, 500, DATE_UNSET, DATE_BROKEN, DATE_CHECKING};
    std::mt19937 rng(2024);
    for (int round = 0; round < 40; round++) {
        Collection plain = create_collection();
        Collection batched = create_collection();
        set_fixed_clock(&plain, kNow);
        set_fixed_clock(&batched, kNow);
        auto pick = [&](const char* const* list, size_t count, int max_words) {
            std::string text;
            for (int k = static_cast<int>(rng() % max_words); k > 0; k--) {
                text += std::string(list[rng() % count]) + (rng() % 3 ? " " : ", ");
            }
            return text;
        };
        const int bookmarks = static_cast<int>(rng() % 300);
        const int before_batch = bookmarks / (1 + static_cast<int>(rng() % 4));
        for (int i = 0; i < bookmarks; i++) {
            if (i == before_batch) begin_add_batch(&batched);
            std::string url = "http://" + pick(hosts, 14, 3) + "/" + std::to_string(rng() % 40);
            for (char& ch : url) {
                if (rng() % 4 == 0) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
            }
            std::string title = pick(words, 10, 4);
            std::string keywords = pick(words, 10, 5);
            const uint32_t added = dates[rng() % 6], visit = dates[rng() % 6], modified = dates[rng() % 6];
            const bool automatic = rng() % 2;
            for (Collection* c : {&plain, &batched}) {
                add_or_merge(c, str_dup(title.c_str()), str_dup(url.c_str()), keywords.c_str(), added, visit, modified,
                             automatic);
            }
        }
        if (bookmarks > before_batch) end_add_batch(&batched);
        ASSERT_EQ(check_collection(&batched), "") << "round " << round;
        ASSERT_EQ(dump_collection(&batched), dump_collection(&plain)) << "round " << round;
        free_collection(&plain);
        free_collection(&batched);
    }
}

TEST_F(CollectionFixture, BatchRecordsAreFoundAndSettledBeforeOtherChanges) {
    add("Stored", "http://m/", "stored");
    begin_add_batch(&c);
    add("Zed", "http://z/", "fresh words");
    add("Alpha", "http://a/", "fresh");
    add("Again", "HTTP://Z/", "ignored", 10, 20, 30);
    EXPECT_EQ(c.records->count, 3u);
    EXPECT_EQ(c.records_by_url->count, 1u);
    Bookmark* z = find_by_url(&c, "http://Z/");
    ASSERT_NE(z, nullptr);
    EXPECT_STREQ(z->title, "Zed");
    EXPECT_EQ(find_word_entry(c.keyword_index, "words")->records->items[0], z);
    EXPECT_EQ(check_collection(&c), "");
    // Deleting settles the batch first: the URL order is complete again.
    delete_record(&c, find_by_url(&c, "http://a/"));
    EXPECT_EQ(c.records_by_url->count, 2u);
    EXPECT_EQ(find_word_entry(c.keyword_index, "fresh")->records->count, 1u);
    EXPECT_EQ(check_collection(&c), "");
    add("Later", "http://b/");
    end_add_batch(&c);
    end_add_batch(&c);  // an extra end is ignored
    ASSERT_EQ(c.records_by_url->count, 3u);
    EXPECT_STREQ(static_cast<Bookmark*>(c.records_by_url->items[0])->url, "http://b/");
    EXPECT_EQ(check_collection(&c), "");
}

TEST_F(CollectionFixture, FreeingDuringBatchLeavesNothingBehind) {
    begin_add_batch(&c);
    add("One", "http://one/", "lonely word");
    // The fixture frees the collection with the batch still open; the
    // sanitizer build reports anything lost.
}

}  // namespace
