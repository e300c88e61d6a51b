#include "search/keyword_index.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
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
    std::vector<std::string> words() {
        PtrVector* list = list_index_words(index);
        std::vector<std::string> result;
        for (uint32_t i = 0; i < list->count; i++) {
            result.push_back(static_cast<const char*>(list->items[i]));
        }
        vec_destroy(list);
        return result;
    }
    std::vector<uint64_t> serials_of(const char* word) {
        std::vector<uint64_t> result;
        const WordEntry* entry = find_word_entry(index, word);
        for (uint32_t i = 0; entry && i < entry->records->count; i++) {
            result.push_back(static_cast<const Bookmark*>(entry->records->items[i])->serial);
        }
        return result;
    }
    void expect_consistent() { EXPECT_EQ(check_keyword_index(index, live), ""); }
};

using Strings = std::vector<std::string>;

TEST_F(IndexFixture, WordsDifferingInCaseAreSeparateEntriesInByteOrder) {
    set(0, "web Web");
    EXPECT_EQ(words(), (Strings{"Web", "web"}));
    EXPECT_EQ(text_of(0), "web Web");
    EXPECT_NE(find_word_entry(index, "Web"), find_word_entry(index, "web"));
    EXPECT_EQ(find_word_entry(index, "WEB"), nullptr);
    expect_consistent();
}

TEST_F(IndexFixture, StoredTextIsTheNormalisedWordList) {
    set(0, "a.b a");
    EXPECT_EQ(text_of(0), "a b");
    set(1, "Web-design, HTML/CSS");
    EXPECT_EQ(text_of(1), "Web-design HTML CSS");
    expect_consistent();
    set(0, "");
    EXPECT_EQ(find_word_entry(index, "a"), nullptr);
    EXPECT_EQ(find_word_entry(index, "b"), nullptr);
    expect_consistent();
}

TEST_F(IndexFixture, EmptyOrNullTextGivesAnEmptySet) {
    set(0, nullptr);
    ASSERT_NE(records[0].keywords, nullptr);
    EXPECT_EQ(records[0].keywords->entries->count, 0u);
    EXPECT_EQ(text_of(0), "");
    set(1, "");
    ASSERT_NE(records[1].keywords, nullptr);
    EXPECT_EQ(text_of(1), "");
    EXPECT_TRUE(words().empty());
}

TEST_F(IndexFixture, SettingTheSameKeywordsAgainChangesNothing) {
    set(0, "news daily web");
    set(1, "web");
    KeywordSet* kept = records[0].keywords;
    set(0, "news daily web");
    EXPECT_EQ(records[0].keywords, kept);
    EXPECT_EQ(words(), (Strings{"daily", "news", "web"}));
    EXPECT_EQ(serials_of("web"), (std::vector<uint64_t>{99, 100}));
    EXPECT_EQ(text_of(0), "news daily web");
    expect_consistent();
}

TEST_F(IndexFixture, SharedWordLivesUntilItsLastRecordLeaves) {
    set(0, "shared one");
    set(1, "shared two");
    set(0, nullptr);
    EXPECT_EQ(serials_of("shared"), (std::vector<uint64_t>{99}));
    EXPECT_EQ(find_word_entry(index, "one"), nullptr);
    set(1, "two");
    EXPECT_EQ(find_word_entry(index, "shared"), nullptr);
    EXPECT_EQ(words(), (Strings{"two"}));
    expect_consistent();
}

TEST_F(IndexFixture, RecordListsFollowSerialsNotAddressesOrInsertionOrder) {
    for (int i : {3, 0, 7, 5}) set(i, "w");
    EXPECT_EQ(serials_of("w"), (std::vector<uint64_t>{93, 95, 97, 100}));
    expect_consistent();
}

TEST_F(IndexFixture, WordListIsInByteOrder) {
    set(0, "b a B _x -y 9");
    EXPECT_EQ(words(), (Strings{"-y", "9", "B", "_x", "a", "b"}));
}

// Random keyword changes on every record, checked against a plain model after
// every step: each record's words in first-occurrence order, and for each word
// exactly the records that carry it.
TEST_F(IndexFixture, RandomChangesKeepIndexAndSetsInStep) {
    const char* vocabulary[] = {"a", "A", "web", "Web", "news", "x-y", "_", "zz", "1", "b"};
    const char* separators[] = {" ", "  ", ", ", ".", "/", "\t"};
    std::mt19937 rng(1234);
    std::vector<Strings> model(kRecords);
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
        std::string joined;
        for (const std::string& w : expected) joined += (joined.empty() ? "" : " ") + w;
        ASSERT_EQ(text_of(which), joined) << text;
        for (const char* word : vocabulary) {
            std::vector<uint64_t> carriers;
            for (int i = kRecords - 1; i >= 0; i--) {
                for (const std::string& w : model[i]) {
                    if (w == word) carriers.push_back(records[i].serial);
                }
            }
            ASSERT_EQ(serials_of(word), carriers) << word;
        }
    }
}

}  // namespace
