// Preparing the filter box's text, and the status bar's form of the hint.
// (lktool search runs both over the golden cases.)
#include "search/search_filter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/words.h"

namespace {

// Only trailing blanks and operators go; other characters stay for the parser.
TEST(SearchFilter, TrailingBlanksAndOperatorsAreTrimmed) {
    const struct {
        const char *text, *prepared;
    } cases[] = {{"foo | !", "foo"}, {"a\t\n\v\f\r |&!", "a"}, {"  !a (", "  !a ("}, {"...", "..."}, {" & | ! \t", ""}};
    for (const auto& c : cases) {
        std::string copy = c.text;
        EXPECT_EQ(prepare_filter_text(&copy[0]), c.prepared[0] != '\0') << c.text;
        EXPECT_STREQ(copy.c_str(), c.prepared);
    }
}

// The hint is tidied by a faster route than repeated-word removal; both must
// give the same bytes, separators and all.
TEST(SearchFilter, HintTidyingMatchesRepeatedWordRemoval) {
    const char* const pieces[] = {"web", "Web", "WEB", "webs", "a", "A", "ab", " ", "  ", ",", "\t", ", "};
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; round++) {
        std::string text;
        for (size_t n = rng() % 12; n > 0; n--) {
            text += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
            if (rng() % 2) text += ' ';
        }
        std::string expected = text;
        remove_repeated_words(&expected[0], false);
        std::string got = text;
        tidy_search_hint(&got[0], false);
        ASSERT_STREQ(got.c_str(), expected.c_str()) << "text: '" << text << "'";
        // With case counting, the index's words are all different already.
        got = text;
        tidy_search_hint(&got[0], true);
        ASSERT_EQ(got, text);
    }
    tidy_search_hint(nullptr, false);
}

}  // namespace
