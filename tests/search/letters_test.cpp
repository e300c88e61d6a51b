// Letter case beyond ASCII: which spellings are the same word, and the runs a search scans.
#include "search/letters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/utf8.h"

namespace {

int compare(const std::string& a, const std::string& b) {
    const int order = compare_folded(a.data(), a.size(), b.data(), b.size());
    return (order > 0) - (order < 0);
}

TEST(Letters, SpellingsAlikeApartFromCase) {
    const struct {
        const char *a, *b;
        int order;  // of a against b, ignoring case
    } cases[] = {
        {"Müller", "MÜLLER", 0},
        {"Ⱥ", "ⱥ", -1},            // partners of different lengths stay apart
        {"straße", "STRAẞE", -1},  // so do sharp s and its capital
        {"İ", "i", 1},             // one-way mappings never reach ASCII
        {"\u212a", "k", 1},        // the Kelvin sign
        {"ς", "Σ", -1},            // final sigma maps one way only
        {"a", "ä", -1},
        {"ab", "a", 1},
        {"a\xff", "A\xff", 0},  // invalid bytes compare as themselves
        {"a\xc3", "a\xc3\xa4", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compare(c.a, c.b), c.order) << c.a << " | " << c.b;
        EXPECT_EQ(compare(c.b, c.a), -c.order) << c.b << " | " << c.a;
        if (c.order == 0) {
            std::string a = c.a, b = c.b;
            fold_word(&a[0]);
            fold_word(&b[0]);
            EXPECT_EQ(a, b) << c.a;
            EXPECT_EQ(a.size(), strlen(c.a)) << "folding keeps every length";
        }
    }
    EXPECT_TRUE(starts_with_folded("Müllerstraße", "MÜLL", 5));
    EXPECT_TRUE(starts_with_folded("Москва", "мос", 6));
    EXPECT_FALSE(starts_with_folded("Мос", "москва", 12));
    EXPECT_FALSE(starts_with_folded("Mull", "Müll", 5));
}

TEST(Letters, KindsAndSpellingsOfCharacters) {
    // More letters with case partners are scanned by the search's model.
    const struct {
        const char* character;
        CharKind kind;
        const char* spellings;  // in the order the search scans their runs
    } cases[] = {
        {"a", CHAR_WORD, "Aa"},
        {"ÿ", CHAR_WORD, "ÿŸ"},  // the capital comes after
        {"7", CHAR_WORD, "7"},
        {"-", CHAR_WORD, "-"},
        {".", CHAR_SEPARATOR, "."},
        {"\t", CHAR_SPACE, "\t"},
        {"ǅ", CHAR_WORD, "ǅ"},
        {"\u0301", CHAR_WORD, "\u0301"},
        {"٣", CHAR_WORD, "٣"},
        {"—", CHAR_SEPARATOR, "—"},
        {"\u00a0", CHAR_SPACE, "\u00a0"},
        {"\u200b", CHAR_SEPARATOR, "\u200b"},
        {"\ue000", CHAR_SEPARATOR, "\ue000"},
        {"😀", CHAR_SEPARATOR, "😀"},
        {"𠮷", CHAR_WORD, "𠮷"},
    };
    for (const auto& c : cases) {
        uint32_t code_point;
        ASSERT_EQ(utf8_decode(c.character, &code_point), strlen(c.character)) << c.character;
        EXPECT_EQ(char_kind(code_point), c.kind) << c.character;
        uint32_t spellings[3];
        const size_t count = case_spellings(code_point, spellings);
        std::string joined;
        for (size_t i = 0; i < count; i++) {
            char bytes[4];
            joined.append(bytes, utf8_encode(spellings[i], bytes));
        }
        EXPECT_EQ(joined, c.spellings) << c.character;
    }
}

}  // namespace
