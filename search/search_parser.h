// The search expression language typed into the filter box: words, & | ! and
// parentheses, turned into a tree of SearchNode values for the evaluator.
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
};

struct SearchNode {
    SearchNodeKind kind;
    // Operator nodes.
    int op;             // a SearchOperator code
    SearchNode* left;   // null for OP_NOT
    SearchNode* right;  // always present
    // Word nodes.
    char* word;        // owned, without the trailing period
    bool exact;        // the word was written with a trailing period: whole-word match
    int32_t position;  // byte offset of the word's first character in the expression
    // Every node a parse creates, newest first, so that a failed parse frees them all.
    SearchNode* created_next;
};

// The parser's state and value stacks stop growing here; an expression that
// needs deeper stacks (about this many nested parentheses or ! signs) is rejected.
const uint32_t SEARCH_STACK_LIMIT = 10000;

// Returns the root of the expression's tree, owned by the caller (free it with
// free_search_tree), or null on a syntax error, having freed everything it made.
SearchNode* parse_search_expression(const char* text);
void free_search_tree(SearchNode* root);

// The tree in a compact canonical form, e.g. and{w{foo}not{w{bar.}}}: operators
// and, or, not, imp; a word as w{text}, with a trailing period when it is exact.
// Returns an owned string (free with free()).
char* dump_search_tree(const SearchNode* root);
