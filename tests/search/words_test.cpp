// Keyword texts made of titles and descriptions, plain and automatic, stop
// words, repeated words and the status bar's form of the hint.
#include "search/words.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "search/keyword_index.h"
#include "search/search_filter.h"
#include "tests/take_text.h"

namespace {

struct KeywordText : ::testing::Test {
    KeywordIndex* index = create_keyword_index();
    ~KeywordText() override { destroy_keyword_index(index); }
    std::string make(const std::string& text, bool automatic) {
        return take_text(make_keyword_text(index, text.c_str(), automatic));
    }
};

TEST_F(KeywordText, PlainTextsKeepEveryWordAutomaticOnesTitleWordsWithoutStopWords) {
    const std::string long_word(300, 'w');
    const struct {
        std::string text, plain, automatic;
    } cases[] = {
        // Words are runs of letters, digits, '_' and '-'; repeats are the index's to drop.
        {"foo.bar-baz_1, Qux a a", "foo bar-baz_1 Qux a a", "Qux"},
        {"a " + long_word + " (" + long_word + ")", "a " + long_word + " " + long_word, long_word + " " + long_word},
        // Title words: letters and digits with inner hyphens, a possessive "'s"
        // or parentheses; only TAB, LF, CR and space separate.
        {"win95 abc1x2 e-mail x-1 abc1's (x9)", "win95 abc1x2 e-mail x-1 abc1 s x9", "win95 abc1x2 e-mail x-1 abc1 x9"},
        {"  lead\r\n\r\ntrail\t(beta)  ", "lead trail beta", "lead trail beta"},
        {"Foo. Foo, \"quoted\" 1996 3D well-known-thing x- mp3-player e-mail's BOB'S words' (ab-c) (1ab) ((x)) () (x",
         "Foo Foo quoted 1996 3D well-known-thing x- mp3-player e-mail s BOB S words ab-c 1ab x x", ""},
        {"-x a_b tab\vsep tab\fsep", "-x a_b tab sep tab sep", ""},
        {"The Linux Foo foo FOO THE the", "The Linux Foo foo FOO THE the", "Linux Foo"},
        {"Thee tak Hom includess 1a", "Thee tak Hom includess 1a", "Thee tak Hom includess"},  // near stop words
        // Beyond ASCII; which characters make words, the letter tests pin.
        {"Москва москва МОСКВА — Главная", "Москва москва МОСКВА Главная", "Москва Главная"},
        {"Straße STRASSE strasse", "Straße STRASSE strasse", "Straße STRASSE"},
        {"Alpha\u00a0Beta\u2003Gamma", "Alpha Beta Gamma", "Alpha Beta Gamma"},
        {"ö Ölbad m² 𠮷野家", "ö Ölbad m² 𠮷野家", "Ölbad m² 𠮷野家"},
        {"Müller's (Köln) Zürich-Nord", "Müller s Köln Zürich-Nord", "Müller Köln Zürich-Nord"},
        {"caf\xe9 bar \xc3", "caf bar", "bar"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(make(c.text, false), c.plain) << c.text;
        EXPECT_EQ(make(c.text, true), c.automatic) << c.text;
    }
    // Every stop word is one in capitals too.
    for (uint32_t i = 0; i < index->stop_words->count; i++) {
        std::string word = static_cast<const char*>(index->stop_words->items[i]);
        for (char& c : word) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(is_stop_word(index, word.c_str())) << word;
    }
}

// A faster route than repeated-word removal, to the same bytes.
TEST(SearchFilter, HintTidyingMatchesRepeatedWordRemoval) {
    const char* const pieces[] = {"web", "Web", "WEB", "webs", "a", "A", "ab", " ", "  ", ",", "\t", ", "};
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; round++) {
        std::string text;
        for (size_t n = rng() % 16; n > 0; n--) text += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
        std::string expected = text;
        remove_repeated_words(&expected[0]);
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

// What the box holds, as the search takes it: blanks and dangling operators off its end.
TEST(SearchFilter, TextLosesBlanksAndOperatorsAtItsEnd) {
    const char* const cases[][2] = {{"a &", "a"},        {"a\t", "a"}, {"a |\r\n!", "a"}, {"a!b", "a!b"},
                                    {"(a) \x0b", "(a)"}, {" & ", ""},  {"", ""}};
    for (const auto& [text, taken] : cases) {
        std::string box = text;
        EXPECT_EQ(prepare_filter_text(&box[0]), *taken != '\0') << text;
        EXPECT_STREQ(box.c_str(), taken) << text;
    }
}
