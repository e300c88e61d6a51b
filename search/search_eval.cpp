// Evaluation of a search tree: words are matched against the index runs of
// their first character, operators combine record sets by linear merges.
#include "search/search_eval.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/utf8.h"
#include "search/keyword_index.h"
#include "search/letters.h"
#include "search/record_sets.h"
#include "search/search_parser.h"

namespace {

int compare_entry_word(const void* element, const void* key) {
    return strcmp(static_cast<const WordEntry*>(element)->word, static_cast<const char*>(key));
}

struct WordQuery {
    const char* word;
    size_t length;
    bool prefix;
    bool case_sensitive;
};

bool entry_matches(const WordQuery& q, const char* entry_word) {
    if (q.prefix) {
        return q.case_sensitive ? strncmp(entry_word, q.word, q.length) == 0
                                : starts_with_folded(entry_word, q.word, q.length);
    }
    return q.case_sensitive ? strcmp(entry_word, q.word) == 0
                            : compare_folded(entry_word, strlen(entry_word), q.word, q.length) == 0;
}

// Appends the matching entries among those whose word begins with the
// character `first` (its UTF-8 bytes).
void scan_run(const KeywordIndex* index, uint32_t first, const WordQuery& q, std::vector<const WordEntry*>* matched) {
    char key[5] = {};
    const size_t key_length = utf8_encode(first, key);
    uint32_t i;
    vec_search(index->entries, key, compare_entry_word, &i);
    for (; i < index->entries->count; i++) {
        const WordEntry* entry = static_cast<const WordEntry*>(index->entries->items[i]);
        if (strncmp(entry->word, key, key_length) != 0) break;
        if (entry_matches(q, entry->word)) matched->push_back(entry);
    }
}

bool is_known_operator(const SearchNode* n) {
    return n->kind == NODE_OPERATOR && n->op >= OP_AND && n->op <= OP_IMPLIED;
}

// Whether the caret touches the word or term: either end counts.
bool caret_on(const SearchRequest* request, const SearchNode* node) {
    const int64_t caret = request->caret, start = node->position;
    return start <= caret && caret <= start + node->length;
}

void add_to_hint(SearchRequest* request, const char* prefix, const char* word) {
    if (!request->hint_buffer) request->hint_buffer = tb_empty();
    if (tb_length(request->hint_buffer) > 0) tb_append_char(&request->hint_buffer, ' ');
    tb_append_str(&request->hint_buffer, prefix);
    tb_append_str(&request->hint_buffer, word);
}

PtrVector* combine(const SearchRequest* request, int op, const PtrVector* left, const PtrVector* right) {
    switch (op) {
        case OP_AND:
            return records_intersection(left, right);
        case OP_OR:
            return records_union(left, right);
        case OP_NOT:
            return records_difference(request->all_records, right);
        default:  // OP_IMPLIED
            return request->implied_or ? records_union(left, right) : records_intersection(left, right);
    }
}

}  // namespace

PtrVector* match_word(SearchRequest* request, const SearchNode* node) {
    WordQuery q;
    q.word = node->word;
    q.length = strlen(node->word);
    q.prefix = !node->exact && request->partial_match;
    q.case_sensitive = request->case_sensitive;

    // Collected in index byte order without duplicates: the runs of the first
    // character's spellings are scanned in the order their bytes sort in.
    // Words are never empty and hold only whole characters.
    std::vector<const WordEntry*> matched;
    uint32_t first = 0;
    utf8_decode(q.word, &first);
    if (q.case_sensitive) {
        scan_run(request->index, first, q, &matched);
    } else {
        uint32_t spellings[3];
        const size_t count = case_spellings(first, spellings);
        for (size_t i = 0; i < count; i++) scan_run(request->index, spellings[i], q, &matched);
    }

    if (caret_on(request, node)) {
        for (const WordEntry* entry : matched) add_to_hint(request, "", entry->word);
    }

    std::vector<const PtrVector*> sets;
    sets.reserve(matched.size());
    for (const WordEntry* entry : matched) sets.push_back(entry->records);
    return records_union_all(sets.data(), sets.size());
}

namespace {

// A term's set from the caller; the hint names the term the caret is on.
PtrVector* match_term(SearchRequest* request, const SearchNode* node) {
    if (caret_on(request, node)) add_to_hint(request, node->kind == NODE_SITE ? "site:" : "is:", node->word);
    if (!request->term_records) return vec_create();
    return request->term_records(request->term_context, node);
}

}  // namespace

// Iterative: a long run of terms makes a tree as deep as the expression is long.
PtrVector* eval_exp(SearchRequest* request, const SearchNode* node) {
    struct Step {
        const SearchNode* node;
        bool operands_done;  // the operands' sets are on the value stack
    };
    std::vector<Step> steps{{node, false}};
    std::vector<PtrVector*> values;
    while (!steps.empty()) {
        Step step = steps.back();
        const SearchNode* n = step.node;
        if (n->kind != NODE_OPERATOR) {
            steps.pop_back();
            values.push_back(n->kind == NODE_WORD ? match_word(request, n) : match_term(request, n));
            continue;
        }
        if (!is_known_operator(n)) {
            for (PtrVector* v : values) vec_destroy(v);
            return nullptr;
        }
        if (!step.operands_done) {
            // The left operand is evaluated first, so it goes on top.
            steps.back().operands_done = true;
            steps.push_back({n->right, false});
            if (n->left) steps.push_back({n->left, false});
            continue;
        }
        steps.pop_back();
        PtrVector* right = values.back();
        values.pop_back();
        PtrVector* left = nullptr;
        if (n->left) {
            left = values.back();
            values.pop_back();
        }
        values.push_back(combine(request, n->op, left, right));
        vec_destroy(left);
        vec_destroy(right);
    }
    return values.back();
}

SearchStatus run_search(SearchRequest* request) {
    SearchParseError error = PARSE_OK;
    SearchNode* root = parse_search_expression(request->expression, &error);
    if (!root) {
        return error == PARSE_UNKNOWN_STATE ? SEARCH_UNKNOWN_STATE
               : error == PARSE_NO_HOST     ? SEARCH_NO_HOST
                                            : SEARCH_SYNTAX_ERROR;
    }
    request->hint_buffer = tb_empty();
    PtrVector* result = eval_exp(request, root);
    free_search_tree(root);
    if (!result) {
        tb_free(&request->hint_buffer);
        return SEARCH_FAULT;
    }
    request->result = result;
    if (tb_length(request->hint_buffer) > 0) {
        request->hint = tb_take(&request->hint_buffer);
    } else {
        request->hint = nullptr;
        tb_free(&request->hint_buffer);
    }
    return SEARCH_OK;
}

const char* search_error_text(SearchStatus status) {
    switch (status) {
        case SEARCH_UNKNOWN_STATE:
            return "Search expression error: is: takes broken, suspect, moved, changed, blocked, unchecked or "
                   "duplicate";
        case SEARCH_NO_HOST:
            return "Search expression error: site: takes a host name, as in site:example.org";
        default:
            return "Search expression error";
    }
}
