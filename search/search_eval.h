// Evaluation of a search expression against the keyword index: the set of
// bookmarks it selects and the word hint for the word at the caret.
#pragma once

#include <cstdint>

#include "core/containers.h"

struct KeywordIndex;
struct SearchNode;

enum SearchStatus : int {
    SEARCH_OK,
    SEARCH_SYNTAX_ERROR,
    SEARCH_UNKNOWN_STATE,  // is: named no state the language knows
    SEARCH_NO_HOST,        // site: named no host
    // The tree held an operator code the parser never produces. The portable
    // core cannot show the internal-fault box: the caller reports it with
    // application_error. No outputs are filled.
    SEARCH_FAULT,
};

// The records a site: or is: term (a NODE_SITE or NODE_STATE node) selects, as
// a new set in record identity order (vec_destroy). The search knows these
// terms' syntax only: what a bookmark's host and state are is known to the
// layers above, which supply this.
typedef PtrVector* (*TermRecords)(void* context, const SearchNode* term);

struct SearchRequest {
    const KeywordIndex* index;
    const PtrVector* all_records;  // the collection's records, the universe for NOT
    const char* expression;
    int32_t caret;  // start of the filter box's selection, offset into the expression
    bool partial_match;
    bool case_sensitive;
    bool implied_or;
    TermRecords term_records;  // null: the terms select nothing
    void* term_context;
    // Outputs, owned by the caller.
    PtrVector* result;  // Bookmark*, in record identity order (vec_destroy)
    char* hint;         // index words matching the word at the caret, or null (free)
    // The hint while it is built, used by match_word.
    TextBuffer hint_buffer;
};

// Parses and evaluates the request's expression. On SEARCH_OK fills result and
// hint; otherwise leaves both untouched.
SearchStatus run_search(SearchRequest* request);

// What the status bar says of a failed search (not SEARCH_OK or SEARCH_FAULT).
const char* search_error_text(SearchStatus status);

// A new record set for a node, or null (having freed everything it made) when
// the tree holds an unknown operator code.
PtrVector* eval_exp(SearchRequest* request, const SearchNode* node);

// A new record set for one word node; adds the matching index words to the
// hint when the caret is on the word.
PtrVector* match_word(SearchRequest* request, const SearchNode* word);
