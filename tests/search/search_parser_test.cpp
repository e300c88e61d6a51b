// The search expression parser: agreement with a small recursive descent
// model over every short token sequence and over random input, a few trees,
// word positions and the stack limits.
#include "search/search_parser.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "core/utf8.h"
#include "search/letters.h"

namespace {

// The tree's dump, or "FAIL" when the text is rejected.
std::string parse_dump(const std::string& text) {
    SearchNode* root = parse_search_expression(text.c_str());
    if (!root) return "FAIL";
    char* dump = dump_search_tree(root);
    std::string out = dump;
    free(dump);
    free_search_tree(root);
    return out;
}

// A few trees as examples; the model below covers every short form.
TEST(SearchParser, BuildsTheTreesOfAcceptedExpressions) {
    const struct {
        const char *input, *dump;
    } cases[] = {
        // One precedence level, grouping from the left; NOT binds to the term after it.
        {"a | b & c", "and{or{w{a}w{b}}w{c}}"},
        {"a b | c", "or{imp{w{a}w{b}}w{c}}"},
        {"!a b", "imp{not{w{a}}w{b}}"},
        {"!(a | b)", "not{or{w{a}w{b}}}"},
        // A period after a word makes it exact and ends it; an apostrophe closes a group.
        {"foo..bar", "imp{w{foo.}w{bar}}"},
        {"!a.b", "imp{not{w{a.}}w{b}}"},
        {"(a' b", "imp{w{a}w{b}}"},
        // Other ASCII punctuation is skipped: no phrases, no other operators.
        {"\"a b\"", "imp{w{a}w{b}}"},
        {"c++", "w{c}"},
        {"a#$%*+,/:;<=>?@[\\]^`{}~\x7f\x01\tb", "imp{w{a}w{b}}"},
        // Letters of every script make words; other characters beyond ASCII,
        // and bytes that are not UTF-8, are skipped.
        {"M\xc3\xbcller | \xd0\xbc\xd0\xbe\xd1\x81.", "or{w{M\xc3\xbcller}w{\xd0\xbc\xd0\xbe\xd1\x81.}}"},
        {"\xe6\x9d\xb1\xe4\xba\xac\xe2\x80\x94\xe5\xa4\xa7", "imp{w{\xe6\x9d\xb1\xe4\xba\xac}w{\xe5\xa4\xa7}}"},
        {"a\x80"
         "b\xff|c",
         "or{imp{w{a}w{b}}w{c}}"},
        {"don't", "FAIL"},
        {"...", "FAIL"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_dump(c.input), c.dump) << "input: " << c.input;
}

void collect_words(const SearchNode* n, std::vector<std::pair<std::string, int>>* out) {
    if (n->kind == NODE_WORD) {
        out->emplace_back(n->word, n->position);
        return;
    }
    if (n->left) collect_words(n->left, out);
    collect_words(n->right, out);
}

std::vector<std::pair<std::string, int>> word_positions(const char* text) {
    std::vector<std::pair<std::string, int>> out;
    SearchNode* root = parse_search_expression(text);
    if (root) collect_words(root, &out);
    free_search_tree(root);
    return out;
}

TEST(SearchParser, WordPositionsAreByteOffsetsOfTheWordStart) {
    using W = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(word_positions("ab & cd"), (W{{"ab", 0}, {"cd", 5}}));
    EXPECT_EQ(word_positions("  x"), (W{{"x", 2}}));
    EXPECT_EQ(word_positions("foo.bar"), (W{{"foo", 0}, {"bar", 4}}));
    EXPECT_EQ(word_positions("(a' !\"b."), (W{{"a", 1}, {"b", 6}}));
}

// Nesting n groups around a word needs n + 3 stack entries (the start, the
// groups, the word, then the closing parenthesis); n NOT signs need n + 2.
std::string nested(size_t n, const char* open, const char* close, const char* middle = "a") {
    std::string text;
    for (size_t i = 0; i < n; i++) text += open;
    text += middle;
    for (size_t i = 0; i < n; i++) text += close;
    return text;
}

TEST(SearchParser, NestingUpToTheStackLimitParsesAndBeyondFailsCleanly) {
    EXPECT_EQ(parse_dump(nested(SEARCH_STACK_LIMIT - 3, "(", ")")), "w{a}");
    EXPECT_EQ(parse_dump(nested(SEARCH_STACK_LIMIT - 2, "(", ")")), "FAIL");
    EXPECT_EQ(parse_dump(nested(SEARCH_STACK_LIMIT - 2, "!", "")), nested(SEARCH_STACK_LIMIT - 2, "not{", "}", "w{a}"));
    // The NOT nodes already built must all be freed (the sanitizer checks).
    EXPECT_EQ(parse_dump(nested(SEARCH_STACK_LIMIT - 1, "!", "")), "FAIL");
    EXPECT_EQ(parse_dump(nested(SEARCH_STACK_LIMIT, "a (", ")")), "FAIL");
}

TEST(SearchParser, LongExpressionsBuildDeepTreesThatFreeWithoutRecursion) {
    std::string chain;
    for (int i = 0; i < 50000; i++) chain += "a ";
    SearchNode* root = parse_search_expression(chain.c_str());
    ASSERT_NE(root, nullptr);
    free_search_tree(root);

    // Right-leaning nesting just inside the limit, plus a long left chain inside it.
    std::string text = nested(SEARCH_STACK_LIMIT / 2 - 2, "a (", ")");
    text.insert(text.size() / 2, chain);
    root = parse_search_expression(text.c_str());
    ASSERT_NE(root, nullptr);
    char* dump = dump_search_tree(root);
    EXPECT_EQ(strncmp(dump, "imp{w{a}imp{w{a}", 16), 0);
    free(dump);
    free_search_tree(root);
}

// A model of the grammar by recursive descent over the same tokens, giving
// the dump directly. Only for short inputs: it recurses per nesting level.
struct Model {
    std::vector<std::string> tokens;  // "(", ")", "|", "&", "!", a word, or "" for the end
    size_t at = 0;

    // ASCII by the grammar's own rule; beyond ASCII, what the letter data says.
    static size_t word_char_length(const std::string& text, size_t i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) return isalnum(c) || c == '_' || c == '-' ? 1 : 0;
        uint32_t code_point;
        const size_t length = utf8_decode(text.c_str() + i, &code_point);
        return length > 0 && char_kind(code_point) == CHAR_WORD ? length : 0;
    }

    static std::vector<std::string> tokenize(const std::string& text) {
        std::vector<std::string> out;
        size_t i = 0;
        for (;;) {
            unsigned char c = static_cast<unsigned char>(i < text.size() ? text[i] : 0);
            if (c == 0) break;
            if (word_char_length(text, i) > 0) {
                size_t start = i;
                for (size_t n; (n = word_char_length(text, i)) > 0;) i += n;
                if (i < text.size() && text[i] == '.') i++;
                out.push_back(text.substr(start, i - start));
                continue;
            }
            i++;
            if (c == '\'') c = ')';
            if (strchr("()|&!", c)) out.emplace_back(1, static_cast<char>(c));
        }
        out.emplace_back();
        return out;
    }

    const std::string& peek() const { return tokens[at]; }
    static bool is_word(const std::string& t) { return !t.empty() && !strchr("()|&!", t[0]); }
    static bool starts_term(const std::string& t) { return is_word(t) || t == "(" || t == "!"; }

    bool term(std::string* out) {
        std::string t = peek();
        if (is_word(t)) {
            at++;
            *out = "w{" + t + "}";  // an exact word keeps its period, as in the dump
            return true;
        }
        if (t == "!") {
            at++;
            std::string inner;
            if (!term(&inner)) return false;
            *out = "not{" + inner + "}";
            return true;
        }
        if (t == "(") {
            at++;
            if (!expr(out)) return false;
            if (peek() != ")") return false;
            at++;
            return true;
        }
        return false;
    }

    bool expr(std::string* out) {
        if (!term(out)) return false;
        for (;;) {
            const std::string& t = peek();
            const char* op = t == "|" ? "or{" : t == "&" ? "and{" : starts_term(t) ? "imp{" : nullptr;
            if (!op) return true;
            if (t == "|" || t == "&") at++;
            std::string right;
            if (!term(&right)) return false;
            *out = op + *out + right + "}";
        }
    }

    static std::string dump(const std::string& text) {
        Model m;
        m.tokens = tokenize(text);
        std::string out;
        if (!m.expr(&out) || !m.peek().empty()) return "FAIL";
        return out;
    }
};

TEST(SearchParser, AgreesWithTheModelOnEveryShortTokenSequence) {
    const char* const pieces[] = {"a", "b.", "!", "&", "|", "(", ")"};
    const size_t n = sizeof pieces / sizeof pieces[0];
    for (size_t length = 1; length <= 5; length++) {
        std::vector<size_t> digits(length, 0);
        for (;;) {
            std::string text;
            for (size_t d : digits) {
                text += pieces[d];
                text += ' ';
            }
            ASSERT_EQ(parse_dump(text), Model::dump(text)) << "input: " << text;
            size_t i = 0;
            while (i < length && ++digits[i] == n) digits[i++] = 0;
            if (i == length) break;
        }
    }
}

TEST(SearchParser, RandomBytesNeverCrashAndAgreeWithTheModel) {
    std::mt19937 rng(12345);
    // Biased towards the bytes that mean something, with some of everything.
    const std::string alphabet = "ab.-_!&|()' \"\t.#+\x7f\x80\xe9\xc3\xa9\xd0\xbc\xe2\x80\x94";
    for (int round = 0; round < 20000; round++) {
        std::string text(rng() % 24, ' ');
        for (char& c : text) {
            c = rng() % 8 == 0 ? static_cast<char>(1 + rng() % 255) : alphabet[rng() % alphabet.size()];
        }
        ASSERT_EQ(parse_dump(text), Model::dump(text)) << "input: " << text;
    }
}

}  // namespace
