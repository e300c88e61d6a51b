// The site: and is: terms: how they are read, and how the evaluator combines
// the records the caller's hook gives for them. (Their messages: lktool search.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "collection/collection.h"
#include "search/search_eval.h"
#include "search/search_parser.h"

namespace {

// The tree's dump, or "error:N" with the parse error's code.
std::string parsed(const char* text) {
    SearchParseError error = PARSE_OK;
    SearchNode* root = parse_search_expression(text, &error);
    if (!root) return "error:" + std::to_string(error);
    char* dump = dump_search_tree(root);
    std::string out = dump;
    free(dump);
    free_search_tree(root);
    return out;
}

TEST(SearchTerms, ParseAndErrors) {
    const std::string syntax = "error:" + std::to_string(PARSE_SYNTAX);
    const std::string state = "error:" + std::to_string(PARSE_UNKNOWN_STATE);
    const std::string host = "error:" + std::to_string(PARSE_NO_HOST);
    const struct {
        const char* text;
        std::string tree;
    } rows[] = {
        {"site:example.org", "site{example.org}"},
        {"Site:Example.ORG news", "imp{site{Example.ORG}w{news}}"},
        {"is:broken & !site:example.org", "and{is{broken}not{site{example.org}}}"},
        {"(is:moved | is:suspect) news", "imp{or{is{moved}is{suspect}}w{news}}"},
        {"IS:Duplicate", "is{duplicate}"},
        // A pasted address gives its host; a scheme, path, port, "*." and final periods go.
        {"site:https://www.example.org:8080/a?b#c", "site{www.example.org}"},
        {"site:*.example.org.", "site{example.org}"},
        {"site:bücher.example|x", "or{site{bücher.example}w{x}}"},
        {"(site:a.example)", "site{a.example}"},
        // Other colons still separate words, as they always have.
        {"mysite:x", "imp{w{mysite}w{x}}"},
        {"site.:x", "imp{w{site.}w{x}}"},
        {"site :x", "imp{w{site}w{x}}"},
        {"http://x", "imp{w{http}w{x}}"},
        {"this:is", "imp{w{this}w{is}}"},
        // Terms without a value, or with one not known; truncated and garbage input.
        {"site:", host},
        {"site:/path", host},
        {"site:...", host},
        {"news & site:", host},
        {"is:", state},
        {"is:brok", state},
        {"is:broken2", state},
        {"is:\xff\xfe", state},
        {"( is:broken", syntax},
        {"site:\x01", host},
        {"site:a is:", state},
    };
    for (const auto& row : rows) EXPECT_EQ(parsed(row.text), row.tree) << row.text;
}

// Selects the records (the context) whose index is in the term's mask: site:
// by the host's length, is: by the state.
PtrVector* fake_term_records(void* context, const SearchNode* term) {
    const PtrVector* records = static_cast<const PtrVector*>(context);
    const uint32_t mask = term->kind == NODE_SITE ? static_cast<uint32_t>(strlen(term->word)) : 1u << term->state;
    PtrVector* set = vec_create();
    for (uint32_t i = 0; i < records->count; i++) {
        if (mask & (1u << i)) vec_append(set, records->items[i]);
    }
    return set;
}

TEST(SearchTerms, EvaluatedThroughTheHookWithWordsAndOperators) {
    Collection collection = create_collection();
    const char* const keywords[] = {"news", "news", "sport", "news sport"};
    for (int i = 0; i < 4; i++) {
        add_or_merge(&collection, str_dup("t"), str_dup(("http://e.example/" + std::to_string(i)).c_str()), keywords[i],
                     DATE_UNSET, DATE_UNSET, DATE_UNSET, false);
    }
    // Selected records as a string of indexes and the hint, or the status when not SEARCH_OK.
    auto search = [&](const char* expression, int32_t caret, bool hooked = true) {
        SearchRequest r = {};
        r.index = collection.keyword_index;
        r.all_records = collection.records;
        r.expression = expression;
        r.caret = caret;
        r.partial_match = true;
        r.term_records = hooked ? fake_term_records : nullptr;
        r.term_context = collection.records;
        const SearchStatus status = run_search(&r);
        if (status != SEARCH_OK) return "status " + std::to_string(status);
        std::string out;
        for (uint32_t i = 0; i < r.result->count; i++) {
            out += std::to_string(vec_index_of(collection.records, r.result->items[i]));
        }
        out = out + " hint " + (r.hint ? r.hint : "");
        vec_destroy(r.result);
        free(r.hint);
        return out;
    };
    // is:suspect (1 << 1) selects record 1; is:moved (1 << 2) record 2; site:abc (3) records 0 and 1.
    EXPECT_EQ(search("is:suspect", 0), "1 hint is:suspect");
    EXPECT_EQ(search("(is:moved | is:suspect) news", 0), "1 hint ");
    EXPECT_EQ(search("news & !site:abc", 12), "3 hint site:abc");
    EXPECT_EQ(search("site:abc sport", 14), " hint sport");
    EXPECT_EQ(search("is:nothing", 0), "status " + std::to_string(SEARCH_UNKNOWN_STATE));
    EXPECT_EQ(search("site:", 0), "status " + std::to_string(SEARCH_NO_HOST));
    EXPECT_EQ(search("!is:broken", 0, false), "0123 hint ") << "without a hook the terms select nothing";
    free_collection(&collection);
}

}  // namespace
