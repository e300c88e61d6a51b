// Search evaluation over a real collection and index against a brute-force
// model over the records' keyword sets, on exhaustive and random expressions:
// matching rules, the operators, the result order and the word hint.
#include "search/search_eval.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "collection/collection.h"
#include "search/keyword_index.h"
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

// The brute-force model: each record's words, matched one by one.
struct Model {
    std::vector<std::vector<std::string>> words;  // per record, in `records` order
    std::vector<std::string> index_words;         // in index order

    static char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
    static bool same(const std::string& a, const std::string& b, bool case_sensitive) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); i++) {
            if (case_sensitive ? a[i] != b[i] : fold(a[i]) != fold(b[i])) return false;
        }
        return true;
    }
    static bool matches(const std::string& index_word, const SearchNode* n, const SearchRequest& r) {
        std::string w = n->word;
        bool prefix = !n->exact && r.partial_match;
        if (prefix) {
            return index_word.size() >= w.size() && same(index_word.substr(0, w.size()), w, r.case_sensitive);
        }
        return same(index_word, w, r.case_sensitive);
    }
    static bool eval(const SearchNode* n, const std::vector<std::string>& record_words, const SearchRequest& r) {
        if (n->kind == NODE_WORD) {
            for (const std::string& w : record_words) {
                if (matches(w, n, r)) return true;
            }
            return false;
        }
        bool right = eval(n->right, record_words, r);
        if (n->op == OP_NOT) return !right;
        bool left = eval(n->left, record_words, r);
        bool either = n->op == OP_OR || (n->op == OP_IMPLIED && r.implied_or);
        return either ? (left || right) : (left && right);
    }
    void hint(const SearchNode* n, const SearchRequest& r, std::string* out) const {
        if (n->kind == NODE_OPERATOR) {
            if (n->left) hint(n->left, r, out);
            hint(n->right, r, out);
            return;
        }
        int end = n->position + static_cast<int>(strlen(n->word)) + (n->exact ? 1 : 0);
        if (r.caret < n->position || r.caret > end) return;
        for (const std::string& w : index_words) {
            if (!matches(w, n, r)) continue;
            if (!out->empty()) *out += ' ';
            *out += w;
        }
    }
};

struct ModelFixture : SearchFixture {
    Model model;
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
            const Bookmark* b = static_cast<const Bookmark*>(collection.records->items[i]);
            char* text = keyword_set_text(b->keywords);
            std::vector<std::string> ws;
            std::string all = text, current;
            free(text);
            for (char c : all + " ") {
                if (c == ' ') {
                    if (!current.empty()) ws.push_back(current);
                    current.clear();
                } else {
                    current += c;
                }
            }
            model.words.push_back(ws);
        }
        PtrVector* list = list_index_words(collection.keyword_index);
        for (uint32_t i = 0; i < list->count; i++) {
            model.index_words.push_back(static_cast<const char*>(list->items[i]));
        }
        vec_destroy(list);
    }

    // Evaluates through the index and through the model; reports the first disagreement.
    void check(const std::string& expression, int options, int32_t caret) {
        SearchRequest r = request(expression.c_str(), options, caret);
        SearchNode* root = parse_search_expression(r.expression);
        SearchStatus status = run_search(&r);
        ASSERT_EQ(status, root ? SEARCH_OK : SEARCH_SYNTAX_ERROR) << expression;
        if (!root) {
            // A syntax error leaves the outputs untouched.
            EXPECT_EQ(r.result, nullptr);
            EXPECT_EQ(r.hint, nullptr);
            return;
        }
        std::vector<const Bookmark*> expected;
        for (uint32_t i = 0; i < collection.records->count; i++) {
            if (Model::eval(root, model.words[i], r)) {
                expected.push_back(static_cast<const Bookmark*>(collection.records->items[i]));
            }
        }
        std::vector<const Bookmark*> got;
        for (uint32_t i = 0; i < r.result->count; i++) {
            got.push_back(static_cast<const Bookmark*>(r.result->items[i]));
        }
        std::string expected_hint;
        model.hint(root, r, &expected_hint);
        EXPECT_EQ(got, expected) << "expression '" << expression << "' options " << options;
        EXPECT_EQ(r.hint ? r.hint : "", expected_hint)
            << "expression '" << expression << "' options " << options << " caret " << caret;
        free_search_tree(root);
        vec_destroy(r.result);
        free(r.hint);
    }
};

TEST_F(ModelFixture, AgreesWithBruteForceOnEveryShortExpression) {
    build_random_collection(40);
    const char* const pieces[] = {"a", "AB.", "b", "-", "_", "!", "&", "|", "(", ")"};
    const size_t n = sizeof pieces / sizeof pieces[0];
    for (size_t length = 1; length <= 4; length++) {
        std::vector<size_t> digits(length, 0);
        for (;;) {
            std::string text;
            for (size_t d : digits) {
                text += pieces[d];
                text += ' ';
            }
            // Every option combination over the run, two of them per expression.
            for (int k = 0; k < 2; k++) {
                check(text, static_cast<int>(rng() % 8), static_cast<int32_t>(rng() % (text.size() + 1)));
            }
            if (HasFailure()) return;
            size_t i = 0;
            while (i < length && ++digits[i] == n) digits[i++] = 0;
            if (i == length) break;
        }
    }
}

TEST_F(ModelFixture, AgreesWithBruteForceOnRandomExpressions) {
    build_random_collection(200);
    const char* const pieces[] = {"a", "ab", "Ab.", "abc", "B", "ba", "x", "-", "9", "_", "!", "&", "|", "(", ")", "."};
    for (int round = 0; round < 3000 && !HasFailure(); round++) {
        std::string text;
        for (size_t i = 1 + rng() % 12; i > 0; i--) {
            text += pieces[rng() % (sizeof pieces / sizeof pieces[0])];
            if (rng() % 3) text += ' ';
        }
        check(text, static_cast<int>(rng() % 8), static_cast<int32_t>(rng() % (text.size() + 2)) - 1);
    }
}

TEST_F(ModelFixture, RandomBytesNeverCrashTheSearch) {
    build_random_collection(60);
    for (int round = 0; round < 5000; round++) {
        std::string text(rng() % 32, ' ');
        for (char& c : text) c = static_cast<char>(rng() % 256);
        SearchRequest r = request(text.c_str(), static_cast<int>(rng() % 8), static_cast<int32_t>(rng()));
        if (run_search(&r) == SEARCH_OK) {
            EXPECT_LE(r.result->count, collection.records->count);
            vec_destroy(r.result);
            free(r.hint);
        }
    }
}

}  // namespace
