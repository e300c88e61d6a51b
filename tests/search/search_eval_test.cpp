// Search over a real collection and index against a brute-force model, on
// random expressions: grammar, matching, operators, result order and hint.
#include "search/search_eval.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "collection/collection.h"
#include "core/utf8.h"
#include "search/letters.h"
#include "search/search_parser.h"

namespace {

struct Token {
    std::string text;  // "(", ")", "|", "&", "!", a word (an exact one ends in '.'), or "" for the end
    int position;
};

// ASCII by the grammar's own rule; beyond ASCII, what the letter data says.
size_t word_char_length(const std::string& text, size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) return isalnum(c) || c == '_' || c == '-' ? 1 : 0;
    uint32_t code_point;
    const size_t length = utf8_decode(text.c_str() + i, &code_point);
    return length > 0 && char_kind(code_point) == CHAR_WORD ? length : 0;
}

std::vector<Token> tokenize(const std::string& text) {
    std::vector<Token> out;
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        if (word_char_length(text, i) > 0) {
            for (size_t n; (n = word_char_length(text, i)) > 0;) i += n;
            if (i < text.size() && text[i] == '.') i++;
            out.push_back({text.substr(start, i - start), static_cast<int>(start)});
            continue;
        }
        const char c = text[i++] == '\'' ? ')' : text[start];
        if (c != '\0' && strchr("()|&!", c)) out.push_back({std::string(1, c), static_cast<int>(start)});
    }
    out.push_back({"", 0});
    return out;
}

// Recursive descent, evaluating as it goes; each word the caret touches adds
// its matching index words to the hint. One precedence level, grouping from
// the left, NOT binding to the term after it. Only for short inputs.
struct Model {
    const SearchRequest& r;
    const std::vector<std::vector<std::string>>& words;  // per record
    const std::vector<std::string>& index_words;
    std::vector<Token> tokens;
    size_t at = 0;
    std::string hint;

    bool matches(const std::string& index_word, const std::string& word, bool exact) const {
        // Which spellings are alike apart from case, the letter tests pin.
        if (!exact && r.partial_match) {
            return r.case_sensitive ? index_word.compare(0, word.size(), word) == 0
                                    : starts_with_folded(index_word.c_str(), word.c_str(), word.size());
        }
        return r.case_sensitive ? index_word == word
                                : compare_folded(index_word.data(), index_word.size(), word.data(), word.size()) == 0;
    }

    bool term(std::vector<bool>* out) {
        const Token t = tokens[at++];
        if (!t.text.empty() && !strchr("()|&!", t.text[0])) {
            const bool exact = t.text.back() == '.';
            const std::string word = t.text.substr(0, t.text.size() - exact);
            out->assign(words.size(), false);
            for (size_t i = 0; i < words.size(); i++) {
                for (const std::string& w : words[i]) (*out)[i] = (*out)[i] || matches(w, word, exact);
            }
            if (r.caret < t.position || r.caret > t.position + static_cast<int>(t.text.size())) return true;
            for (const std::string& w : index_words) {
                if (matches(w, word, exact)) hint += (hint.empty() ? "" : " ") + w;
            }
            return true;
        }
        if (t.text == "!" && term(out)) {
            out->flip();
            return true;
        }
        return t.text == "(" && expr(out) && tokens[at++].text == ")";
    }

    bool expr(std::vector<bool>* out) {
        if (!term(out)) return false;
        for (;;) {
            const std::string t = tokens[at].text;
            if (t.empty() || t == ")") return true;
            if (t == "|" || t == "&") at++;
            std::vector<bool> right;
            if (!term(&right)) return false;
            const bool either = t == "|" || (t != "&" && r.implied_or);
            for (size_t i = 0; i < out->size(); i++) (*out)[i] = either ? (*out)[i] || right[i] : (*out)[i] && right[i];
        }
    }
};

struct SearchFixture : ::testing::Test {
    Collection collection = create_collection();
    ~SearchFixture() override { free_collection(&collection); }

    void add(const std::string& title, const char* keywords) {
        add_or_merge(&collection, str_dup(title.c_str()), str_dup(("http://example.com/" + title).c_str()), keywords,
                     DATE_UNSET, DATE_UNSET, DATE_UNSET, false);
    }
    // Options: 1 partial matches, 2 case counts, 4 implied OR.
    SearchRequest request(const char* expression, int options, int32_t caret) {
        SearchRequest r = {};
        r.index = collection.keyword_index;
        r.all_records = collection.records;
        r.expression = expression;
        r.caret = caret;
        r.partial_match = options & 1;
        r.case_sensitive = options & 2;
        r.implied_or = options & 4;
        return r;
    }
    // The number of records selected, or -1 when the expression is rejected.
    int count(const std::string& expression) {
        SearchRequest r = request(expression.c_str(), 1, 0);
        if (run_search(&r) != SEARCH_OK) return -1;
        const int selected = static_cast<int>(r.result->count);
        vec_destroy(r.result);
        free(r.hint);
        return selected;
    }
    std::vector<std::vector<std::string>> words;  // per record, in `records` order
    std::vector<std::string> index_words;         // in byte order
    std::mt19937 rng{2024};

    void check(const std::string& expression, int options, int32_t caret) {
        SearchRequest r = request(expression.c_str(), options, caret);
        Model model{r, words, index_words, tokenize(expression), 0, std::string()};
        std::vector<bool> selected;
        const bool parsed = model.expr(&selected) && model.tokens[model.at].text.empty();
        ASSERT_EQ(run_search(&r), parsed ? SEARCH_OK : SEARCH_SYNTAX_ERROR) << expression;
        EXPECT_TRUE(parsed || (!r.result && !r.hint)) << "a syntax error leaves the outputs untouched";
        if (!parsed) return;
        std::vector<const void*> expected, got(r.result->items, r.result->items + r.result->count);
        for (uint32_t i = 0; i < collection.records->count; i++) {
            if (selected[i]) expected.push_back(collection.records->items[i]);
        }
        EXPECT_EQ(got, expected) << "expression '" << expression << "' options " << options;
        EXPECT_EQ(r.hint ? r.hint : "", model.hint)
            << "expression '" << expression << "' options " << options << " caret " << caret;
        vec_destroy(r.result);
        free(r.hint);
    }
};

// n groups around a word need n + 3 parser stack entries, n NOT signs n + 2.
// Beyond, the parse fails and frees what it built; within, no recursion.
TEST_F(SearchFixture, DeepExpressionsUpToTheStackLimit) {
    EXPECT_EQ(count("!a | b"), 0);
    add("r1", "a");
    add("r2", "a b");
    const size_t limit = SEARCH_STACK_LIMIT;
    EXPECT_EQ(count(std::string(limit - 3, '(') + "a" + std::string(limit - 3, ')')), 2);
    EXPECT_EQ(count(std::string(limit - 2, '(') + "a" + std::string(limit - 2, ')')), -1);
    EXPECT_EQ(count(std::string(limit - 2, '!') + "a"), 2);  // an even number of NOT signs
    EXPECT_EQ(count(std::string(limit - 1, '!') + "a"), -1);
    std::string chain;
    for (int i = 0; i < 20000; i++) chain += "a | b ";
    EXPECT_EQ(count(chain), 2);
}

TEST_F(SearchFixture, AgreesWithTheModelOnRandomExpressions) {
    // Case variants in and beyond ASCII, shared prefixes, caseless starts.
    static const char* const vocabulary[] = {"a", "ab", "Ab", "AB", "abc", "b",  "B",  "ba", "bab", "-a",
                                             "_", "9z", "ж",  "Жb", "жB",  "ςa", "Σa", "σ",  "ΣΑ"};
    std::set<std::string> all;
    for (int i = 0; i < 200; i++) {
        std::string keywords;
        words.emplace_back();
        for (int k = static_cast<int>(rng() % 4); k > 0; k--) {
            words.back().push_back(vocabulary[rng() % (sizeof vocabulary / sizeof vocabulary[0])]);
            all.insert(words.back().back());
            keywords += words.back().back() + ' ';
        }
        add("r" + std::to_string(i), keywords.c_str());
    }
    index_words.assign(all.begin(), all.end());
    const char* const pieces[] = {"a",           "ab",       "Ab.",      "abc",      "B",
                                  "ba",          "x",        "-",        "9",        "_",
                                  "!",           "&",        "|",        "(",        ")",
                                  ".",           "'",        "\"",       "#+\t",     "\xc3\xa9",
                                  "\xd0\x96",    "\xd0\xb6", "\xce\xa3", "\xcf\x82", "\xe2\x80\x94",
                                  "\xe6\x9d\xb1"};
    for (int round = 0; round < 20000 && !HasFailure(); round++) {
        std::string text;
        for (size_t i = 1 + rng() % 8; i > 0; i--) {
            // Now and then any byte at all: the parser's fuzz input.
            const std::string any(1, static_cast<char>(1 + rng() % 255));
            text += rng() % 8 == 0 ? any : pieces[rng() % (sizeof pieces / sizeof pieces[0])];
            if (rng() % 3) text += ' ';
        }
        check(text, static_cast<int>(rng() % 8), static_cast<int32_t>(rng() % (text.size() + 2)) - 1);
    }
}

}  // namespace
