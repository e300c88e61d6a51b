// The search expression parser: a token reader and an LR(1) automaton with
// explicit state and value stacks, for the grammar
//   query: expr
//   expr:  term | expr OR term | expr AND term | expr term
//   term:  WORD | NOT term | OPEN expr CLOSE
// OR, AND and juxtaposition share one precedence level and group from the left.
// The terms site:HOST and is:STATE are WORD tokens to the grammar.
#include "search/search_parser.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/containers.h"
#include "core/utf8.h"
#include "search/letters.h"

namespace {

enum Token {
    TOK_END,    // NUL
    TOK_OPEN,   // (
    TOK_CLOSE,  // ) and also the apostrophe
    TOK_OR,     // |
    TOK_AND,    // &
    TOK_NOT,    // !
    TOK_WORD,   // word characters, optionally followed by one period; or a site: or is: term
    TOK_ERROR,  // a site: or is: term that names nothing usable
};

const char* const kStateNames[STATE_COUNT] = {"broken",  "suspect",   "moved",    "changed",
                                              "blocked", "unchecked", "duplicate"};

bool is_word_char(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// The length of the word character at p, or 0: the ASCII ones above and every
// character beyond ASCII that words are made of.
size_t word_char_at(const char* p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x80) return is_word_char(c) ? 1 : 0;
    uint32_t code_point;
    const size_t length = utf8_decode(p, &code_point);
    return length > 0 && char_kind(code_point) == CHAR_WORD ? length : 0;
}

struct TokenReader {
    const char* text;
    const char* cursor;
    const char* token_start;
    // The last WORD token: a plain word, or a term with its value.
    SearchNodeKind kind;
    SearchState state;
    const char* value;
    size_t value_length;
    SearchParseError error;  // why the last token was TOK_ERROR
};

bool equals_ascii_nocase(const char* a, size_t length, const char* b) {
    if (strlen(b) != length) return false;
    for (size_t i = 0; i < length; i++) {
        if (fold_ascii(a[i]) != b[i]) return false;
    }
    return true;
}

// What a site: term's host is: the text up to a blank, an operator or a
// parenthesis, from which a scheme, a path, a port, a leading "*." and
// trailing periods are dropped, so that a pasted address works too.
void read_site_value(TokenReader* r) {
    const char* start = r->cursor;
    while (static_cast<unsigned char>(*r->cursor) > 0x20 && *r->cursor != 0x7F && !strchr("()'|&!\"", *r->cursor)) {
        r->cursor++;
    }
    const char* end = r->cursor;
    for (const char* p = start; p + 2 < end; p++) {
        if (p[0] == ':' && p[1] == '/' && p[2] == '/') {
            start = p + 3;
            break;
        }
    }
    const char* host_end = start;
    while (host_end < end && !strchr("/?#:", *host_end)) host_end++;
    if (end - start >= 2 && start[0] == '*' && start[1] == '.') start += 2;
    while (host_end > start && host_end[-1] == '.') host_end--;
    r->kind = NODE_SITE;
    r->value = start;
    r->value_length = static_cast<size_t>(host_end - start);
}

// Reads what follows is:, a state's name in any letter case.
bool read_state_value(TokenReader* r) {
    const char* start = r->cursor;
    while (is_word_char(static_cast<unsigned char>(*r->cursor))) r->cursor++;
    const size_t length = static_cast<size_t>(r->cursor - start);
    for (int state = 0; state < STATE_COUNT; state++) {
        if (equals_ascii_nocase(start, length, kStateNames[state])) {
            r->kind = NODE_STATE;
            r->state = static_cast<SearchState>(state);
            r->value = kStateNames[state];
            r->value_length = length;
            return true;
        }
    }
    return false;
}

// A word just read that is "site" or "is" (in any letter case) with a colon
// right after it begins a term; any other colon separates words as blanks do.
Token read_term(TokenReader* r) {
    const size_t length = static_cast<size_t>(r->cursor - r->token_start);
    if (*r->cursor != ':') return TOK_WORD;
    if (equals_ascii_nocase(r->token_start, length, "site")) {
        r->cursor++;
        read_site_value(r);
        if (r->value_length > 0) return TOK_WORD;
        r->error = PARSE_NO_HOST;
        return TOK_ERROR;
    }
    if (equals_ascii_nocase(r->token_start, length, "is")) {
        r->cursor++;
        if (read_state_value(r)) return TOK_WORD;
        r->error = PARSE_UNKNOWN_STATE;
        return TOK_ERROR;
    }
    return TOK_WORD;
}

// Every byte that is neither a token nor the end is skipped: blanks, control
// bytes, the remaining punctuation, DEL, a period that does not end a word,
// and whatever beyond ASCII is not a word character (or not UTF-8).
Token next_token(TokenReader* r) {
    for (;;) {
        unsigned char c = static_cast<unsigned char>(*r->cursor);
        r->token_start = r->cursor;
        r->kind = NODE_WORD;
        if (c == 0) return TOK_END;
        if (size_t n = word_char_at(r->cursor)) {
            do {
                r->cursor += n;
            } while ((n = word_char_at(r->cursor)) > 0);
            if (*r->cursor == '.') {
                r->cursor++;
                return TOK_WORD;
            }
            return read_term(r);
        }
        r->cursor++;
        switch (c) {
            case '(':
                return TOK_OPEN;
            case ')':
            case '\'':
                return TOK_CLOSE;
            case '|':
                return TOK_OR;
            case '&':
                return TOK_AND;
            case '!':
                return TOK_NOT;
            default:
                break;
        }
    }
}

// The LR automaton's states. The comment gives the items that define each.
enum State : uint8_t {
    S_START,       // query: . expr
    S_EXPR,        // query: expr .   expr: expr . OR term | expr . AND term | expr . term
    S_TERM,        // expr: term .
    S_WORD,        // term: WORD .
    S_NOT,         // term: NOT . term
    S_OPEN,        // term: OPEN . expr CLOSE
    S_OR,          // expr: expr OR . term
    S_AND,         // expr: expr AND . term
    S_EXPR_TERM,   // expr: expr term .
    S_NOT_TERM,    // term: NOT term .
    S_OPEN_EXPR,   // term: OPEN expr . CLOSE   and the expr continuations
    S_OR_TERM,     // expr: expr OR term .
    S_AND_TERM,    // expr: expr AND term .
    S_OPEN_CLOSE,  // term: OPEN expr CLOSE .
};

const uint32_t INITIAL_STACK = 200;

struct Parse {
    TokenReader reader;
    uint8_t* states;
    SearchNode** values;
    uint32_t count;
    uint32_t capacity;
    SearchNode* created;  // every node made so far, newest first
};

SearchNode* new_node(Parse* p, SearchNodeKind kind) {
    SearchNode* n = static_cast<SearchNode*>(calloc(1, sizeof(SearchNode)));
    n->kind = kind;
    n->created_next = p->created;
    p->created = n;
    return n;
}

SearchNode* new_operator(Parse* p, int op, SearchNode* left, SearchNode* right) {
    SearchNode* n = new_node(p, NODE_OPERATOR);
    n->op = op;
    n->left = left;
    n->right = right;
    return n;
}

// The word or term just read: the reader's token start and cursor still delimit it.
SearchNode* new_word(Parse* p) {
    const TokenReader& r = p->reader;
    const char* start = r.token_start;
    size_t length = static_cast<size_t>(r.cursor - start);
    SearchNode* n = new_node(p, r.kind);
    n->position = static_cast<int32_t>(start - r.text);
    n->length = static_cast<int32_t>(length);
    if (r.kind == NODE_SITE) {
        n->word = str_dup_span(r.value, r.value_length);
        return n;
    }
    if (r.kind == NODE_STATE) {
        n->state = r.state;
        n->word = str_dup(r.value);
        return n;
    }
    n->exact = start[length - 1] == '.';
    if (n->exact) length--;
    n->word = str_dup_span(start, length);
    return n;
}

// False when the stacks are already at their limit.
bool push(Parse* p, uint8_t state, SearchNode* value) {
    if (p->count == p->capacity) {
        if (p->capacity >= SEARCH_STACK_LIMIT) return false;
        uint32_t grown = p->capacity * 2;
        if (grown > SEARCH_STACK_LIMIT) grown = SEARCH_STACK_LIMIT;
        p->states = static_cast<uint8_t*>(realloc(p->states, grown));
        p->values = static_cast<SearchNode**>(realloc(p->values, grown * sizeof(SearchNode*)));
        p->capacity = grown;
    }
    p->states[p->count] = state;
    p->values[p->count] = value;
    p->count++;
    return true;
}

uint8_t goto_expr(uint8_t exposed) { return exposed == S_OPEN ? S_OPEN_EXPR : S_EXPR; }

uint8_t goto_term(uint8_t exposed) {
    switch (exposed) {
        case S_EXPR:
        case S_OPEN_EXPR:
            return S_EXPR_TERM;
        case S_NOT:
            return S_NOT_TERM;
        case S_OR:
            return S_OR_TERM;
        case S_AND:
            return S_AND_TERM;
        default:
            return S_TERM;  // S_START, S_OPEN
    }
}

// Pops `length` entries and pushes the rule's result under the goto state.
bool reduce(Parse* p, uint32_t length, bool is_expr, SearchNode* value) {
    p->count -= length;
    uint8_t exposed = p->states[p->count - 1];
    return push(p, is_expr ? goto_expr(exposed) : goto_term(exposed), value);
}

const uint8_t NO_STATE = 0xFF;

// The state reached by shifting a token that may begin a term, or NO_STATE.
uint8_t shift_term_start(Token t) {
    switch (t) {
        case TOK_WORD:
            return S_WORD;
        case TOK_NOT:
            return S_NOT;
        case TOK_OPEN:
            return S_OPEN;
        default:
            return NO_STATE;
    }
}

// Runs the automaton. Returns the root, or null on a syntax error or when the
// stacks would exceed their limit.
SearchNode* run_parser(Parse* p) {
    if (!push(p, S_START, nullptr)) return nullptr;
    bool have_token = false;
    Token token = TOK_END;
    for (;;) {
        uint8_t state = p->states[p->count - 1];
        SearchNode** v = p->values + p->count;  // v[-1] is the top value
        bool ok = true;
        switch (state) {
            // States that reduce whatever comes next: no look-ahead is read, so the
            // word rule still sees its own token.
            case S_TERM:
                ok = reduce(p, 1, true, v[-1]);
                break;
            case S_WORD:
                ok = reduce(p, 1, false, new_word(p));
                break;
            case S_EXPR_TERM:
                ok = reduce(p, 2, true, new_operator(p, OP_IMPLIED, v[-2], v[-1]));
                break;
            case S_NOT_TERM:
                ok = reduce(p, 2, false, new_operator(p, OP_NOT, nullptr, v[-1]));
                break;
            case S_OR_TERM:
                ok = reduce(p, 3, true, new_operator(p, OP_OR, v[-3], v[-1]));
                break;
            case S_AND_TERM:
                ok = reduce(p, 3, true, new_operator(p, OP_AND, v[-3], v[-1]));
                break;
            case S_OPEN_CLOSE:
                ok = reduce(p, 3, false, v[-2]);
                break;
            default: {
                if (!have_token) {
                    token = next_token(&p->reader);
                    have_token = true;
                }
                uint8_t next = shift_term_start(token);
                if (state == S_EXPR || state == S_OPEN_EXPR) {
                    if (token == TOK_OR) next = S_OR;
                    if (token == TOK_AND) next = S_AND;
                    if (state == S_EXPR && token == TOK_END) return v[-1];
                    if (state == S_OPEN_EXPR && token == TOK_CLOSE) next = S_OPEN_CLOSE;
                }
                if (next == NO_STATE) return nullptr;
                have_token = false;
                ok = push(p, next, nullptr);
                break;
            }
        }
        if (!ok) return nullptr;
    }
}

void free_created(SearchNode* n) {
    while (n) {
        SearchNode* next = n->created_next;
        free(n->word);
        free(n);
        n = next;
    }
}

}  // namespace

const char* search_state_name(SearchState state) { return state < STATE_COUNT ? kStateNames[state] : ""; }

SearchNode* parse_search_expression(const char* text, SearchParseError* error) {
    Parse p = {};
    p.reader.text = text;
    p.reader.cursor = text;
    p.reader.token_start = text;
    p.capacity = INITIAL_STACK;
    p.states = static_cast<uint8_t*>(malloc(p.capacity));
    p.values = static_cast<SearchNode**>(malloc(p.capacity * sizeof(SearchNode*)));
    SearchNode* root = run_parser(&p);
    free(p.states);
    free(p.values);
    if (error) *error = root ? PARSE_OK : p.reader.error ? p.reader.error : PARSE_SYNTAX;
    if (!root) {
        free_created(p.created);
        return nullptr;
    }
    // The tree owns its nodes from here on; the creation chain is only for failures.
    for (SearchNode* n = p.created; n; n = n->created_next) n->created_next = nullptr;
    return root;
}

// Iterative: a long run of terms builds a left-leaning tree as deep as the
// expression is long, deeper than the stack may allow for recursion.
void free_search_tree(SearchNode* root) {
    if (!root) return;
    std::vector<SearchNode*> pending{root};
    while (!pending.empty()) {
        SearchNode* n = pending.back();
        pending.pop_back();
        if (n->kind == NODE_OPERATOR) {
            if (n->left) pending.push_back(n->left);
            pending.push_back(n->right);
        } else {
            free(n->word);  // words and terms
        }
        free(n);
    }
}

char* dump_search_tree(const SearchNode* root) {
    static const char* const names[] = {"and{", "or{", "not{", "imp{"};
    TextBuffer out = tb_empty();
    if (!root) return tb_take(&out);
    // Each entry is a node still to print, or (node null) a closing brace.
    std::vector<const SearchNode*> pending{root};
    while (!pending.empty()) {
        const SearchNode* n = pending.back();
        pending.pop_back();
        if (!n) {
            tb_append_char(&out, '}');
        } else if (n->kind != NODE_OPERATOR) {
            static const char* const opens[] = {"", "w{", "site{", "is{"};
            tb_append_str(&out, opens[n->kind]);
            tb_append_str(&out, n->word);
            tb_append_str(&out, n->exact ? ".}" : "}");
        } else {
            tb_append_str(&out, n->op >= 0 && n->op <= 3 ? names[n->op] : "?{");
            pending.push_back(nullptr);
            pending.push_back(n->right);
            if (n->left) pending.push_back(n->left);
        }
    }
    return tb_take(&out);
}
