// Word splitting, title scanning, repeated words and keyword texts.
#include "search/words.h"

#include <gtest/gtest.h>

#include <cctype>

#include <cstdlib>
#include <string>
#include <vector>

#include "search/keyword_index.h"

namespace {

using Words = std::vector<std::string>;

void collect(const char* word, void* context) { static_cast<Words*>(context)->push_back(word); }

Words split(const std::string& text) {
    Words words;
    split_words(text.c_str(), collect, &words);
    return words;
}

Words title_words(const std::string& text) {
    Words words;
    scan_title_words(text.c_str(), collect, &words);
    return words;
}

std::string without_repeats(const std::string& text, bool case_sensitive) {
    std::string copy = text;
    remove_repeated_words(&copy[0], case_sensitive);
    return copy.c_str();
}

class KeywordText : public ::testing::Test {
protected:
    void SetUp() override { index = create_keyword_index(); }
    void TearDown() override { destroy_keyword_index(index); }
    std::string make(const std::string& text, bool automatic) {
        char* made = make_keyword_text(index, text.c_str(), automatic);
        std::string result = made;
        free(made);
        return result;
    }
    KeywordIndex* index = nullptr;
};

}  // namespace

TEST(SplitWords, RunsOfLettersDigitsUnderscoreAndHyphen) {
    EXPECT_EQ(split("foo.bar-baz_1, Qux"), (Words{"foo", "bar-baz_1", "Qux"}));
    EXPECT_EQ(split(""), Words{});
    EXPECT_EQ(split(" ,.;:/'\"\t"), Words{});
    EXPECT_EQ(split("a-"), Words{"a-"});
    EXPECT_EQ(split("-"), Words{"-"});
    EXPECT_EQ(split("http://www.example.com/a_b"), (Words{"http", "www", "example", "com", "a_b"}));
}

TEST(SplitWords, WordsOfAnyLengthComeWhole) {
    for (size_t length : {62, 63, 64, 65, 300}) {
        const std::string word(length, 'w');
        EXPECT_EQ(split("a " + word + " b"), (Words{"a", word, "b"})) << length;
        EXPECT_EQ(title_words("(" + word + ") " + word + "'s"), (Words{word, word})) << length;
    }
}

TEST(ScanTitleWords, AcceptedForms) {
    EXPECT_EQ(title_words("Home win95 abc1x2 e-mail x-1"), (Words{"Home", "win95", "abc1x2", "e-mail", "x-1"}));
    EXPECT_EQ(title_words("Bob's abc1's (beta) (x9)"), (Words{"Bob", "abc1", "beta", "x9"}));
    EXPECT_EQ(title_words("tab\tsep"), (Words{"tab", "sep"}));
    EXPECT_EQ(title_words("  lead\r\n\r\ntrail  "), (Words{"lead", "trail"}));
}

TEST(ScanTitleWords, DroppedTokens) {
    const char* dropped[] = {
        "Foo.",       "Foo,",     "\"quoted\"", "1996",  "3D",     "well-known-thing", "x-",
        "mp3-player", "e-mail's", "BOB'S",      "Bob'S", "words'", "(ab-c)",           "(1ab)",
        "((x))",      "()",       "(x",         "-x",    "a_b",    "caf\xE9",
    };
    for (const char* token : dropped) EXPECT_EQ(title_words(token), Words{}) << token;
    // Only TAB, LF, CR and space separate: a VT or FF joins its neighbours into one token.
    EXPECT_EQ(title_words("tab\vsep"), Words{});
    EXPECT_EQ(title_words("tab\fsep"), Words{});
}

TEST(RemoveRepeatedWords, KeepsFirstOccurrenceWithItsSeparators) {
    EXPECT_EQ(without_repeats("web Web, web", false), "web ");
    EXPECT_EQ(without_repeats("web Web, web", true), "web Web, ");
    EXPECT_EQ(without_repeats("  a b a c b", false), "  a b c ");
    EXPECT_EQ(without_repeats("a,a,,b", false), "a,b");
    EXPECT_EQ(without_repeats("ab abc ab", true), "ab abc ");
    EXPECT_EQ(without_repeats("", false), "");
    // Word boundaries are white space and commas only: "a.b" and "a" differ.
    EXPECT_EQ(without_repeats("a.b a a.b", true), "a.b a ");
    remove_repeated_words(nullptr, false);
}

TEST_F(KeywordText, AutomaticModeKeepsTitleWordsWithoutStopWords) {
    EXPECT_EQ(make("Bob's Home Page", true), "Bob");
    EXPECT_EQ(make("Foo foo FOO bar", true), "Foo bar");
    EXPECT_EQ(make("The Linux Kernel Archives", true), "Linux Kernel Archives");
    EXPECT_EQ(make("(beta) Test Site, ver2", true), "beta Test ver2");
    EXPECT_EQ(make("Welcome to Foo.", true), "");
    EXPECT_EQ(make("X Window", true), "Window");
    EXPECT_EQ(make("THE the The news", true), "news");
    EXPECT_EQ(make("", true), "");
}

TEST_F(KeywordText, PlainModeKeepsEveryWord) {
    EXPECT_EQ(make("X Window", false), "X Window");
    EXPECT_EQ(make("the a of", false), "the a of");
    EXPECT_EQ(make("Web-design, HTML/CSS", false), "Web-design HTML CSS");
    EXPECT_EQ(make("  ", false), "");
    // Repeats survive here; the index drops them when the text is applied.
    EXPECT_EQ(make("a a", false), "a a");
}

TEST_F(KeywordText, StopWordListHasFiftyEightWordsMatchedIgnoringCase) {
    EXPECT_EQ(index->stop_words->count, 58u);
    for (const char* word : {"a", "THE", "Takes", "www", "includes", "its"}) {
        EXPECT_TRUE(is_stop_word(index, word)) << word;
    }
    for (const char* word : {"b", "thee", "tak", "linux", "", "thy", "Hom", "includess", "1a"}) {
        EXPECT_FALSE(is_stop_word(index, word)) << word;
    }
    // Every listed word, in its own case and in capitals.
    for (uint32_t i = 0; i < index->stop_words->count; i++) {
        std::string word = static_cast<const char*>(index->stop_words->items[i]);
        EXPECT_TRUE(is_stop_word(index, word.c_str())) << word;
        for (char& c : word) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(is_stop_word(index, word.c_str())) << word;
    }
}

// Titles in many scripts and the keyword texts they give, plain and automatic.
// The same table runs natively and under Windows: both builds must give the
// same words on the same text.
TEST_F(KeywordText, EveryScriptGivesTheSameWordsInEveryBuild) {
    struct Case {
        const char* text;
        const char* plain;
        const char* automatic;
    };
    const Case cases[] = {
        {"Müller Straße Köln", "Müller Straße Köln", "Müller Straße Köln"},
        {"Москва новости — Главная", "Москва новости Главная", "Москва новости Главная"},
        {"Москва москва МОСКВА", "Москва москва МОСКВА", "Москва"},
        {"Αθήνα ΑΘΉΝΑ οδός ΟΔΟΣ", "Αθήνα ΑΘΉΝΑ οδός ΟΔΟΣ", "Αθήνα οδός ΟΔΟΣ"},
        {"東京 - ウィキペディア", "東京 - ウィキペディア", "東京 ウィキペディア"},
        {"北京天气预报　上海", "北京天气预报 上海", "北京天气预报 上海"},
        {"الأخبار العاجلة", "الأخبار العاجلة", "الأخبار العاجلة"},
        {"חדשות ישראל", "חדשות ישראל", "חדשות ישראל"},
        {"नमस्ते दुनिया", "नमस्ते दुनिया", "नमस्ते दुनिया"},
        {"서울 날씨", "서울 날씨", "서울 날씨"},
        {"ข่าว กรุงเทพ", "ข่าว กรุงเทพ", "ข่าว กรุงเทพ"},
        {"İstanbul ılık ISTANBUL", "İstanbul ılık ISTANBUL", "İstanbul ılık ISTANBUL"},
        {"Café au lait — naïve résumé", "Café au lait naïve résumé", "Café au lait naïve résumé"},
        {"Straße STRASSE strasse", "Straße STRASSE strasse", "Straße STRASSE"},
        {"Alpha\u00a0Beta\u2003Gamma", "Alpha Beta Gamma", "Alpha Beta Gamma"},
        {"\U0001F389 Party \U0001F389", "Party", "Party"},
        {"ö Ölbad m² 𠮷野家", "ö Ölbad m² 𠮷野家", "Ölbad m² 𠮷野家"},
        {"Müller's (Köln) Zürich-Nord", "Müller s Köln Zürich-Nord", "Müller Köln Zürich-Nord"},
        {"«Zitat» Köln, Bonn.", "Zitat Köln Bonn", ""},
        {"Cafe\u0301 Cafe", "Cafe\u0301 Cafe", "Cafe\u0301 Cafe"},
        {"caf\xe9 bar \xc3", "caf bar", "bar"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(make(c.text, false), c.plain) << c.text;
        EXPECT_EQ(make(c.text, true), c.automatic) << c.text;
    }
}
