// The search expression language typed into the filter box: words, & | ! and
// parentheses, and the terms site:HOST and is:STATE, turned into a tree of
// SearchNode values for the evaluator.
#pragma once

#include <cstdint>

// Operator codes as stored in a node.
enum SearchOperator : int {
    OP_AND = 0,
    OP_OR = 1,
    OP_NOT = 2,      // no left operand
    OP_IMPLIED = 3,  // two terms side by side: AND, or OR when "Implied Or" is on
};

enum SearchNodeKind : int {
    NODE_OPERATOR,
    NODE_WORD,
    NODE_SITE,   // site:HOST, that host and its subdomains
    NODE_STATE,  // is:STATE
};

// The states is: names. The search knows their names only; what each means
// for a bookmark is decided by the caller (SearchRequest::term_records).
enum SearchState : uint8_t {
    STATE_BROKEN,
    STATE_SUSPECT,
    STATE_MOVED,
    STATE_CHANGED,
    STATE_BLOCKED,
    STATE_UNCHECKED,
    STATE_DUPLICATE,
    STATE_COUNT,
};

// "broken", "suspect", ... as written after is:.
const char* search_state_name(SearchState state);

// Why a parse failed.
enum SearchParseError : int {
    PARSE_OK,
    PARSE_SYNTAX,         // not the grammar, or deeper than the stacks allow
    PARSE_UNKNOWN_STATE,  // is: followed by no state it knows
    PARSE_NO_HOST,        // site: followed by no host
};

struct SearchNode {
    SearchNodeKind kind;
    // Operator nodes.
    int op;             // a SearchOperator code
    SearchNode* left;   // null for OP_NOT
    SearchNode* right;  // always present
    // Word nodes, and the terms.
    char* word;         // owned: the word without the trailing period; the host of site:; the state's name
    bool exact;         // the word was written with a trailing period: whole-word match
    int32_t position;   // byte offset of the word's (or the term's) first character in the expression
    int32_t length;     // bytes the word or term takes in the expression, its period included
    SearchState state;  // NODE_STATE: the state named
    // Every node a parse creates, newest first, so that a failed parse frees them all.
    SearchNode* created_next;
};

// The parser's state and value stacks stop growing here; an expression that
// needs deeper stacks (about this many nested parentheses or ! signs) is rejected.
const uint32_t SEARCH_STACK_LIMIT = 10000;

// Returns the root of the expression's tree, owned by the caller (free it with
// free_search_tree), or null on an error, having freed everything it made and
// told why in *error (when error is not null).
SearchNode* parse_search_expression(const char* text, SearchParseError* error = nullptr);
void free_search_tree(SearchNode* root);

// The tree in a compact canonical form, e.g. and{w{foo}not{w{bar.}}}: operators
// and, or, not, imp; a word as w{text}, with a trailing period when it is exact;
// site{host} and is{state} for the terms.
// Returns an owned string (free with free()).
char* dump_search_tree(const SearchNode* root);
