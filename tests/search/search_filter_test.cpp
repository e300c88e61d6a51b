// Preparing the filter box's text, and the status bar's form of the hint.
#include "search/search_filter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/words.h"

namespace {

std::string prepared(const char* text, bool* has_filter) {
    std::string copy = text;
    *has_filter = prepare_filter_text(&copy[0]);
    return copy.c_str();
}

TEST(SearchFilter, TrailingBlanksAndOperatorsAreTrimmed) {
    bool has_filter = false;
    EXPECT_EQ(prepared("foo &", &has_filter), "foo");
    EXPECT_TRUE(has_filter);
    EXPECT_EQ(prepared("foo | !", &has_filter), "foo");
    EXPECT_EQ(prepared("a\t\n\v\f\r |&!", &has_filter), "a");
    // Only the end is trimmed; other characters stay for the parser.
    EXPECT_EQ(prepared("  !a (", &has_filter), "  !a (");
    EXPECT_EQ(prepared("a...", &has_filter), "a...");
}

TEST(SearchFilter, BlankOrOperatorOnlyTextMeansNoFilter) {
    bool has_filter = true;
    EXPECT_EQ(prepared("", &has_filter), "");
    EXPECT_FALSE(has_filter);
    EXPECT_EQ(prepared(" & | ! \t", &has_filter), "");
    EXPECT_FALSE(has_filter);
    // Skipped characters are not blanks: this text is searched and fails there.
    EXPECT_EQ(prepared("...", &has_filter), "...");
    EXPECT_TRUE(has_filter);
}

TEST(SearchFilter, HintListsCaseVariantsOnceWhenCaseIsIgnored) {
    std::string hint = "Web WEBS web webs";
    tidy_search_hint(&hint[0], false);
    EXPECT_STREQ(hint.c_str(), "Web WEBS ");

    hint = "Web web";
    tidy_search_hint(&hint[0], true);
    EXPECT_STREQ(hint.c_str(), "Web web");

    tidy_search_hint(nullptr, false);
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
    }
}

}  // namespace
