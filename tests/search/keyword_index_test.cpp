#include "search/keyword_index.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/bookmark.h"
#include "tests/search/keyword_index_invariants.h"

namespace {

// An index with a few hand-made records; the records' addresses run against
// their serials so that identity order cannot be confused with address order.
struct IndexFixture : ::testing::Test {
    static constexpr int kRecords = 8;
    KeywordIndex* index = create_keyword_index();
    Bookmark records[kRecords] = {};
    PtrVector* live = vec_create();

    IndexFixture() {
        for (int i = 0; i < kRecords; i++) {
            records[i].serial = static_cast<uint64_t>(100 - i);
            records[i].added = records[i].last_visit = records[i].last_modified = DATE_UNSET;
        }
        for (int i = kRecords - 1; i >= 0; i--) vec_append(live, &records[i]);
    }
    ~IndexFixture() override {
        for (Bookmark& record : records) free_keyword_set(record.keywords);
        destroy_keyword_index(index);
        vec_destroy(live);
    }

    void set(int i, const char* text) {
        records[i].keywords = set_record_keywords(index, &records[i], text, records[i].keywords);
    }
    std::string text_of(int i) {
        char* text = keyword_set_text(records[i].keywords);
        std::string result = text;
        free(text);
        return result;
    }
};

using Strings = std::vector<std::string>;

// Random keyword changes on every record, checked against a plain model after
// every step: each record's words in first-occurrence order (words differing
// in case are different words) and the index's words in byte order.
TEST_F(IndexFixture, RandomChangesKeepIndexAndSetsInStep) {
    const char* vocabulary[] = {"a", "A", "web", "Web", "news", "x-y", "_", "zz", "1", "b"};
    const char* separators[] = {" ", "  ", ", ", ".", "/", "\t"};
    std::mt19937 rng(1234);
    std::vector<Strings> model(kRecords);
    PtrVector* none = list_index_words(index);  // an empty index lists no words
    EXPECT_EQ(none->count, 0u);
    vec_destroy(none);
    for (int step = 0; step < 3000; step++) {
        int which = static_cast<int>(rng() % kRecords);
        std::string text;
        Strings expected;
        int count = static_cast<int>(rng() % 6);
        for (int k = 0; k < count; k++) {
            std::string word = vocabulary[rng() % 10];
            if (k > 0) text += separators[rng() % 6];
            text += word;
            bool seen = false;
            for (const std::string& w : expected) seen = seen || w == word;
            if (!seen) expected.push_back(word);
        }
        set(which, text.c_str());
        model[which] = expected;

        ASSERT_EQ(check_keyword_index(index, live), "") << "step " << step << ": " << text;
        // With the structure check, each record's words fix every word's records.
        for (int i = 0; i < kRecords; i++) {
            std::string joined;
            for (const std::string& w : model[i]) joined += (joined.empty() ? "" : " ") + w;
            ASSERT_EQ(text_of(i), joined) << text;
        }
        PtrVector* list = list_index_words(index);
        std::set<std::string> expected_words;
        for (const Strings& words : model) expected_words.insert(words.begin(), words.end());
        ASSERT_EQ(list->count, expected_words.size());
        uint32_t i = 0;
        for (const std::string& word : expected_words)
            ASSERT_STREQ(static_cast<const char*>(list->items[i++]), word.c_str());
        vec_destroy(list);
    }
}

}  // namespace
