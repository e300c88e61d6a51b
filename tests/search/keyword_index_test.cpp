#include "search/keyword_index.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "core/bookmark.h"
#include "tests/search/keyword_index_invariants.h"

namespace {

// Random keyword changes on hand-made records, checked after every step
// against a plain model: each record's words in first-occurrence order (words
// differing in case are different words). With the structure check, the
// records' words fix every word's records and the index's words. The records'
// addresses run against their serials so that identity order cannot be
// confused with address order.
TEST(KeywordIndex, RandomChangesKeepIndexAndSetsInStep) {
    const int kRecords = 8;
    KeywordIndex* index = create_keyword_index();
    Bookmark records[kRecords] = {};
    PtrVector* live = vec_create();
    for (int i = kRecords - 1; i >= 0; i--) {
        records[i].serial = static_cast<uint64_t>(100 - i);
        vec_append(live, &records[i]);
    }
    PtrVector* none = list_index_words(index);  // an empty index lists no words
    EXPECT_EQ(none->count, 0u);
    vec_destroy(none);

    const char* vocabulary[] = {"a", "A", "web", "Web", "news", "x-y", "_", "zz", "1", "b"};
    const char* separators[] = {" ", "  ", ", ", ".", "/", "\t"};
    std::mt19937 rng(1234);
    std::string model[kRecords];
    for (int step = 0; step < 3000; step++) {
        const int which = static_cast<int>(rng() % kRecords);
        std::string text, expected = " ";
        for (int k = static_cast<int>(rng() % 6); k > 0; k--) {
            const std::string word = vocabulary[rng() % 10];
            text += word + separators[rng() % 6];
            if (expected.find(" " + word + " ") == std::string::npos) expected += word + " ";
        }
        records[which].keywords = set_record_keywords(index, &records[which], text.c_str(), records[which].keywords);
        model[which] = expected.substr(1, expected.size() > 1 ? expected.size() - 2 : 0);

        ASSERT_EQ(check_keyword_index(index, live), "") << "step " << step << ": " << text;
        for (int i = 0; i < kRecords; i++) {
            char* got = keyword_set_text(records[i].keywords);
            EXPECT_EQ(got, model[i]) << text;
            free(got);
        }
        if (HasFailure()) break;
    }
    for (Bookmark& record : records) free_keyword_set(record.keywords);
    destroy_keyword_index(index);
    vec_destroy(live);
}

}  // namespace
