// The search expression parser: the trees' shapes, the stack limits and
// random input.
#include "search/search_parser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

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

// The trees' shapes; which expressions parse, and what they select, the
// search's model check covers (search_eval_test.cpp).
TEST(SearchParser, BuildsTheTreesOfAcceptedExpressions) {
    const struct {
        const char *input, *dump;
    } cases[] = {
        {"a | b & c", "and{or{w{a}w{b}}w{c}}"},
        {"a b | c", "or{imp{w{a}w{b}}w{c}}"},
        {"!(a | b.)", "not{or{w{a}w{b.}}}"},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_dump(c.input), c.dump) << "input: " << c.input;
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
    // Right-leaning nesting just inside the limit, plus a long left chain inside it.
    std::string text = nested(SEARCH_STACK_LIMIT / 2 - 2, "a (", ")");
    text.insert(text.size() / 2, chain);
    SearchNode* root = parse_search_expression(text.c_str());
    ASSERT_NE(root, nullptr);
    char* dump = dump_search_tree(root);
    EXPECT_EQ(strncmp(dump, "imp{w{a}imp{w{a}", 16), 0);
    free(dump);
    free_search_tree(root);
}

TEST(SearchParser, RandomBytesNeverCrash) {
    std::mt19937 rng(12345);
    // Biased towards the bytes that mean something, with some of everything.
    const std::string alphabet = "ab.-_!&|()' \"\t.#+\x7f\x80\xe9\xc3\xa9\xd0\xbc\xe2\x80\x94";
    for (int round = 0; round < 20000; round++) {
        std::string text(rng() % 24, ' ');
        for (char& c : text) {
            c = rng() % 8 == 0 ? static_cast<char>(1 + rng() % 255) : alphabet[rng() % alphabet.size()];
        }
        free_search_tree(parse_search_expression(text.c_str()));
    }
}

}  // namespace
