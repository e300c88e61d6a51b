// Search over a real collection and index against a model that parses the
// expression by recursive descent and evaluates it on each record's keywords
// by brute force, on random expressions: the grammar, the matching rules, the
// operators, the result order and the word hint.
#include "search/search_eval.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "collection/collection.h"
#include "core/utf8.h"
#include "search/keyword_index.h"
#include "search/letters.h"
#include "search/search_parser.h"

namespace {

struct SearchFixture : ::testing::Test {
    Collection collection = create_collection();
    ~SearchFixture() override { free_collection(&collection); }

    // The title names the bookmark in results; the URL is derived from it.
    void add(const std::string& title, const char* keywords) {
        add_or_merge(&collection, str_dup(title.c_str()), str_dup(("http://example.com/" + title).c_str()), keywords,
                     DATE_UNSET, DATE_UNSET, DATE_UNSET, false);
    }
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
    // The result's titles in result order, space-separated.
    std::string titles(const char* expression) {
        SearchRequest r = request(expression, 1, 0);
        EXPECT_EQ(run_search(&r), SEARCH_OK);
        std::string out;
        for (uint32_t i = 0; r.result && i < r.result->count; i++) {
            out += (i ? " " : "") + std::string(static_cast<const Bookmark*>(r.result->items[i])->title);
        }
        vec_destroy(r.result);
        free(r.hint);
        return out;
    }
};

TEST_F(SearchFixture, DeepTreesEvaluateWithoutRecursion) {
    EXPECT_EQ(titles("!a | b"), "");
    add("r1", "a");
    add("r2", "b");
    std::string nots(SEARCH_STACK_LIMIT - 2, '!');
    EXPECT_EQ(titles((nots + "a").c_str()), "r1");  // an even number of NOT signs
    std::string chain;
    for (int i = 0; i < 20000; i++) chain += "a | b ";
    EXPECT_EQ(titles(chain.c_str()), "r1 r2");
}

// The model's tree: an operator ("|", "&", "!", or " " for the implied one)
// over its operands, or a word.
struct Node {
    std::string op, word;
    bool exact = false;
    int position = 0;
    std::unique_ptr<Node> left, right;
};

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

// Recursive descent over the tokens: one precedence level, grouping from the
// left, NOT binding to the term after it. Only for short inputs.
struct Parser {
    std::vector<Token> tokens;
    size_t at = 0;

    const std::string& peek() const { return tokens[at].text; }
    static bool is_word(const std::string& t) { return !t.empty() && !strchr("()|&!", t[0]); }

    std::unique_ptr<Node> term() {
        const Token& t = tokens[at];
        std::unique_ptr<Node> node(new Node);
        if (is_word(t.text)) {
            at++;
            node->exact = t.text.back() == '.';
            node->word = t.text.substr(0, t.text.size() - node->exact);
            node->position = t.position;
            return node;
        }
        if (t.text == "!") {
            at++;
            node->op = "!";
            node->right = term();
            return node->right ? std::move(node) : nullptr;
        }
        if (t.text != "(") return nullptr;
        at++;
        node = expr();
        if (!node || peek() != ")") return nullptr;
        at++;
        return node;
    }

    std::unique_ptr<Node> expr() {
        std::unique_ptr<Node> left = term();
        while (left) {
            const std::string t = peek();
            if (t != "|" && t != "&" && !is_word(t) && t != "(" && t != "!") return left;
            if (t == "|" || t == "&") at++;
            std::unique_ptr<Node> node(new Node);
            node->op = is_word(t) || t == "(" || t == "!" ? " " : t;
            node->left = std::move(left);
            node->right = term();
            left = node->right ? std::move(node) : nullptr;
        }
        return nullptr;
    }

    static std::unique_ptr<Node> parse(const std::string& text) {
        Parser p;
        p.tokens = tokenize(text);
        std::unique_ptr<Node> root = p.expr();
        return root && p.peek().empty() ? std::move(root) : nullptr;
    }
};

// Case folding of ASCII only, as the vocabulary below needs.
char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool same(const std::string& a, const std::string& b, bool case_sensitive) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); i++) {
        if (case_sensitive ? a[i] != b[i] : fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

bool matches(const std::string& index_word, const Node& n, const SearchRequest& r) {
    if (!n.exact && r.partial_match) {
        return index_word.size() >= n.word.size() &&
               same(index_word.substr(0, n.word.size()), n.word, r.case_sensitive);
    }
    return same(index_word, n.word, r.case_sensitive);
}

bool eval(const Node& n, const std::vector<std::string>& record_words, const SearchRequest& r) {
    if (n.op.empty()) {
        for (const std::string& w : record_words) {
            if (matches(w, n, r)) return true;
        }
        return false;
    }
    const bool right = eval(*n.right, record_words, r);
    if (n.op == "!") return !right;
    const bool left = eval(*n.left, record_words, r);
    return n.op == "|" || (n.op == " " && r.implied_or) ? left || right : left && right;
}

// The index words matching each word the caret touches, in the words' order.
void hint(const Node& n, const SearchRequest& r, const std::vector<std::string>& index_words, std::string* out) {
    if (n.left) hint(*n.left, r, index_words, out);
    if (n.right) hint(*n.right, r, index_words, out);
    const int end = n.position + static_cast<int>(n.word.size()) + (n.exact ? 1 : 0);
    if (!n.op.empty() || r.caret < n.position || r.caret > end) return;
    for (const std::string& w : index_words) {
        if (matches(w, n, r)) *out += (out->empty() ? "" : " ") + w;
    }
}

struct ModelFixture : SearchFixture {
    std::vector<std::vector<std::string>> words;  // per record, in `records` order
    std::vector<std::string> index_words;         // in index order
    std::mt19937 rng{2024};

    // A small vocabulary with case variants, shared prefixes and caseless starts.
    void build_random_collection(int count) {
        static const char* const vocabulary[] = {"a", "ab", "Ab", "AB", "abc", "b", "B", "ba", "bab", "-a", "_", "9z"};
        for (int i = 0; i < count; i++) {
            std::string keywords;
            for (int k = static_cast<int>(rng() % 4); k > 0; k--) {
                keywords += vocabulary[rng() % (sizeof vocabulary / sizeof vocabulary[0])];
                keywords += ' ';
            }
            add(("r" + std::to_string(i)).c_str(), keywords.c_str());
        }
        for (uint32_t i = 0; i < collection.records->count; i++) {
            char* text = keyword_set_text(static_cast<const Bookmark*>(collection.records->items[i])->keywords);
            std::istringstream in(text);
            free(text);
            words.emplace_back();
            for (std::string w; in >> w;) words.back().push_back(w);
        }
        PtrVector* list = list_index_words(collection.keyword_index);
        for (uint32_t i = 0; i < list->count; i++) index_words.push_back(static_cast<const char*>(list->items[i]));
        vec_destroy(list);
    }

    // Searches through the index and through the model; reports the first disagreement.
    void check(const std::string& expression, int options, int32_t caret) {
        SearchRequest r = request(expression.c_str(), options, caret);
        std::unique_ptr<Node> root = Parser::parse(expression);
        ASSERT_EQ(run_search(&r), root ? SEARCH_OK : SEARCH_SYNTAX_ERROR) << expression;
        if (!root) {
            // A syntax error leaves the outputs untouched.
            EXPECT_EQ(r.result, nullptr);
            EXPECT_EQ(r.hint, nullptr);
            return;
        }
        std::vector<const void*> expected, got(r.result->items, r.result->items + r.result->count);
        for (uint32_t i = 0; i < collection.records->count; i++) {
            if (eval(*root, words[i], r)) expected.push_back(collection.records->items[i]);
        }
        std::string expected_hint;
        hint(*root, r, index_words, &expected_hint);
        EXPECT_EQ(got, expected) << "expression '" << expression << "' options " << options;
        EXPECT_EQ(r.hint ? r.hint : "", expected_hint)
            << "expression '" << expression << "' options " << options << " caret " << caret;
        vec_destroy(r.result);
        free(r.hint);
    }
};

// Pieces run together or apart, with punctuation the grammar skips, letters
// beyond ASCII, and bytes that are not UTF-8.
TEST_F(ModelFixture, AgreesWithTheModelOnRandomExpressions) {
    build_random_collection(200);
    const char* const pieces[] = {"a",           "ab",   "Ab.",      "abc",      "B",
                                  "ba",          "x",    "-",        "9",        "_",
                                  "!",           "&",    "|",        "(",        ")",
                                  ".",           "'",    "\"",       "#+\t",     "\x7f",
                                  "\x80",        "\xff", "\xc3\xa9", "\xd0\xbc", "\xe2\x80\x94",
                                  "\xe6\x9d\xb1"};
    for (int round = 0; round < 20000 && !HasFailure(); round++) {
        std::string text;
        for (size_t i = 1 + rng() % 12; i > 0; i--) {
            text += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
            if (rng() % 3) text += ' ';
        }
        check(text, static_cast<int>(rng() % 8), static_cast<int32_t>(rng() % (text.size() + 2)) - 1);
    }
}

}  // namespace
