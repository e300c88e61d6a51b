// The site: and is: terms: how they are read. (How the evaluator combines what
// they select, and their messages: lktool search.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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

}  // namespace
