// Search evaluation over a real collection and index: matching rules, the word
// hint, the operators, and agreement with a brute-force model over the
// records' keyword sets on exhaustive and random expressions.
#include "search/search_eval.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "collection/collection.h"
#include "search/keyword_index.h"
#include "search/search_filter.h"
#include "search/search_parser.h"

namespace {

struct Options {
    bool partial = true;
    bool case_sensitive = false;
    bool implied_or = false;
};

struct Outcome {
    SearchStatus status;
    std::string titles;  // the result's titles in result order, space-separated
    std::string hint;    // "(none)" when there is no hint
};

struct SearchFixture : ::testing::Test {
    Collection collection = create_collection();

    ~SearchFixture() override { free_collection(&collection); }

    // The title names the bookmark in results; the URL is derived from it.
    void add(const char* title, const char* keywords) {
        std::string url = std::string("http://example.com/") + title;
        add_or_merge(&collection, str_dup(title), str_dup(url.c_str()), keywords, DATE_UNSET, DATE_UNSET, DATE_UNSET,
                     false);
    }

    // Caret -1 stands for the end of the expression.
    Outcome search(const char* expression, Options o = Options(), int caret = -1) {
        SearchRequest r = {};
        r.index = collection.keyword_index;
        r.all_records = collection.records;
        r.expression = expression;
        r.caret = caret < 0 ? static_cast<int32_t>(strlen(expression)) : caret;
        r.partial_match = o.partial;
        r.case_sensitive = o.case_sensitive;
        r.implied_or = o.implied_or;
        Outcome out;
        out.status = run_search(&r);
        if (out.status != SEARCH_OK) {
            EXPECT_EQ(r.result, nullptr);
            EXPECT_EQ(r.hint, nullptr);
            return out;
        }
        for (uint32_t i = 0; i < r.result->count; i++) {
            if (i) out.titles += ' ';
            out.titles += static_cast<const Bookmark*>(r.result->items[i])->title;
        }
        out.hint = r.hint ? r.hint : "(none)";
        vec_destroy(r.result);
        free(r.hint);
        return out;
    }
    std::string titles(const char* expression, Options o = Options()) { return search(expression, o).titles; }
    std::string hint(const char* expression, Options o = Options(), int caret = -1) {
        return search(expression, o, caret).hint;
    }
};

Options whole() {
    Options o;
    o.partial = false;
    return o;
}
Options case_sensitive() {
    Options o;
    o.case_sensitive = true;
    return o;
}
Options implied_or() {
    Options o;
    o.implied_or = true;
    return o;
}

TEST_F(SearchFixture, PartialMatchIsPrefixMatchIgnoringCase) {
    add("net", "internet");
    add("face", "Interface");
    add("wnet", "winternet");
    add("inter", "inter");
    EXPECT_EQ(titles("inter"), "net face inter");
    EXPECT_EQ(titles("inter."), "inter");
    EXPECT_EQ(titles("inter", whole()), "inter");
    EXPECT_EQ(titles("INTERNET"), "net");
    EXPECT_EQ(titles("internets"), "");
}

TEST_F(SearchFixture, CaseSensitivityChoosesBetweenSpellings) {
    add("upper", "Web");
    add("lower", "web");
    add("longer", "WEBSITE");
    EXPECT_EQ(titles("web"), "upper lower longer");
    EXPECT_EQ(hint("web"), "WEBSITE Web web");
    EXPECT_EQ(titles("web", case_sensitive()), "lower");
    EXPECT_EQ(titles("WEB", case_sensitive()), "longer");
    EXPECT_EQ(titles("web", whole()), "upper lower");
    Options exact_case = whole();
    exact_case.case_sensitive = true;
    EXPECT_EQ(titles("Web", exact_case), "upper");
    EXPECT_EQ(titles("wEb.", case_sensitive()), "");
}

TEST_F(SearchFixture, HintAfterTidyingShowsTheFirstSpellingInIndexOrder) {
    add("upper", "Web");
    add("lower", "web");
    std::string h = hint("web");
    EXPECT_EQ(h, "Web web");
    tidy_search_hint(&h[0], false);
    EXPECT_STREQ(h.c_str(), "Web ");
}

TEST_F(SearchFixture, WordsBeginningWithACharacterWithoutCaseAreListedOnce) {
    add("dash", "-x -y");
    add("digit", "1st 1ST");
    EXPECT_EQ(hint("-"), "-x -y");
    EXPECT_EQ(titles("-"), "dash");
    EXPECT_EQ(hint("1s"), "1ST 1st");
    EXPECT_EQ(titles("1st", whole()), "digit");
}

TEST_F(SearchFixture, ARecordMatchedByManyWordsAppearsOnce) {
    add("both", "internet interface");
    add("one", "intern");
    EXPECT_EQ(titles("inter"), "both one");
}

TEST_F(SearchFixture, NotIsTheComplementInTheWholeCollection) {
    add("r1", "foo");
    add("r2", "bar");
    add("r3", "foo bar");
    EXPECT_EQ(titles("!foo"), "r2");
    EXPECT_EQ(titles("!zzz"), "r1 r2 r3");
    EXPECT_EQ(titles("!!foo"), "r1 r3");
    EXPECT_EQ(titles("!(foo | bar)"), "");
}

TEST_F(SearchFixture, ImpliedOperatorFollowsTheOptionAndExplicitOnesDoNot) {
    add("r1", "alpha");
    add("r2", "beta");
    add("r3", "alpha beta");
    EXPECT_EQ(titles("alpha beta"), "r3");
    EXPECT_EQ(titles("alpha beta", implied_or()), "r1 r2 r3");
    EXPECT_EQ(titles("alpha & beta", implied_or()), "r3");
    EXPECT_EQ(titles("alpha | beta"), "r1 r2 r3");
    EXPECT_EQ(titles("alpha | beta & !alpha"), "r2");
}

TEST_F(SearchFixture, ResultsFollowRecordIdentityOrder) {
    add("first", "zeta");
    add("second", "alpha");
    add("third", "zeta alpha");
    EXPECT_EQ(titles("alpha | zeta"), "first second third");
}

TEST_F(SearchFixture, HintCoversTheWordAtTheCaretInclusiveAtBothEnds) {
    add("r1", "ab abc cd");
    // "ab & cd": ab spans 0..2, cd spans 5..7.
    EXPECT_EQ(hint("ab & cd", Options(), 0), "ab abc");
    EXPECT_EQ(hint("ab & cd", Options(), 2), "ab abc");
    EXPECT_EQ(hint("ab & cd", Options(), 3), "(none)");
    EXPECT_EQ(hint("ab & cd", Options(), 4), "(none)");
    EXPECT_EQ(hint("ab & cd", Options(), 5), "cd");
    EXPECT_EQ(hint("ab & cd", Options(), 7), "cd");
    // An exact word's range includes its period.
    EXPECT_EQ(hint("ab.", Options(), 3), "ab");
    EXPECT_EQ(hint("ab. ", Options(), 4), "(none)");
    // Caret after a trailing blank: no hint although the result is not empty.
    Outcome o = search("ab ");
    EXPECT_EQ(o.titles, "r1");
    EXPECT_EQ(o.hint, "(none)");
    // Both words touch offset 3 in "ab.cd": both contribute, in evaluation order.
    EXPECT_EQ(hint("ab.cd", Options(), 3), "ab cd");
    // A word that matches nothing leaves no hint.
    EXPECT_EQ(hint("zz"), "(none)");
}

TEST_F(SearchFixture, SyntaxErrorsLeaveTheOutputsUntouched) {
    add("r1", "foo");
    for (const char* bad : {"...", "foo (", "foo |", "", "don't"}) {
        EXPECT_EQ(search(bad).status, SEARCH_SYNTAX_ERROR) << bad;
    }
}

TEST_F(SearchFixture, EmptyCollectionGivesEmptyResults) {
    Outcome o = search("!a | b");
    EXPECT_EQ(o.status, SEARCH_OK);
    EXPECT_EQ(o.titles, "");
    EXPECT_EQ(o.hint, "(none)");
}

TEST_F(SearchFixture, UnknownOperatorCodeIsReportedAsAFault) {
    add("r1", "foo");
    SearchNode word = {};
    word.kind = NODE_WORD;
    word.word = const_cast<char*>("foo");
    SearchNode bad = {};
    bad.kind = NODE_OPERATOR;
    bad.op = 7;
    bad.left = &word;
    bad.right = &word;
    SearchNode root = {};
    root.kind = NODE_OPERATOR;
    root.op = OP_AND;
    root.left = &word;
    root.right = &bad;
    SearchRequest r = {};
    r.index = collection.keyword_index;
    r.all_records = collection.records;
    r.partial_match = true;
    // The sets made before the fault was found are freed (the sanitizer checks).
    EXPECT_EQ(eval_exp(&r, &root), nullptr);
    tb_free(&r.hint_buffer);
}

TEST_F(SearchFixture, DeepTreesEvaluateWithoutRecursion) {
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
        SearchRequest r = {};
        r.index = collection.keyword_index;
        r.all_records = collection.records;
        r.expression = expression.c_str();
        r.caret = caret;
        r.partial_match = options & 1;
        r.case_sensitive = options & 2;
        r.implied_or = options & 4;
        SearchNode* root = parse_search_expression(r.expression);
        SearchStatus status = run_search(&r);
        ASSERT_EQ(status, root ? SEARCH_OK : SEARCH_SYNTAX_ERROR) << expression;
        if (!root) return;
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
        SearchRequest r = {};
        r.index = collection.keyword_index;
        r.all_records = collection.records;
        r.expression = text.c_str();
        r.caret = static_cast<int32_t>(rng());
        r.partial_match = rng() % 2;
        r.case_sensitive = rng() % 2;
        r.implied_or = rng() % 2;
        if (run_search(&r) == SEARCH_OK) {
            EXPECT_LE(r.result->count, collection.records->count);
            vec_destroy(r.result);
            free(r.hint);
        }
    }
}

}  // namespace
