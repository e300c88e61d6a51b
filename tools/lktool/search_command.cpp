// lktool search: filters a collection with a search expression exactly as the
// filter box does and prints the matching bookmarks in record order.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "checker/host_ascii.h"
#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/record_terms.h"
#include "search/search_eval.h"
#include "search/search_filter.h"
#include "tools/lktool/arguments.h"
#include "tools/lktool/commands.h"

namespace {

struct SearchArguments {
    bool partial_match = true;
    bool case_sensitive = false;
    bool implied_or = false;
    bool show_hint = false;
    long caret = -1;  // -1: the end of the expression
    const char* collection_path = nullptr;
    const char* expression = nullptr;
};

// A non-negative decimal offset that fits the request's caret.
bool parse_caret(const char* text, long* value) {
    long caret = 0;
    if (*text == '\0') return false;
    for (const char* p = text; *p; p++) {
        if (*p < '0' || *p > '9') return false;
        caret = caret * 10 + (*p - '0');
        if (caret > INT32_MAX) return false;
    }
    *value = caret;
    return true;
}

bool parse_search_arguments(int argc, char** argv, SearchArguments* a) {
    int i = 0;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; i++) {
        if (strcmp(argv[i], "--hint") == 0) {
            a->show_hint = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        bool ok;
        if (strcmp(argv[i - 1], "--partial") == 0) {
            ok = parse_flag_argument(value, &a->partial_match);
        } else if (strcmp(argv[i - 1], "--case") == 0) {
            ok = parse_flag_argument(value, &a->case_sensitive);
        } else if (strcmp(argv[i - 1], "--implied-or") == 0) {
            ok = parse_flag_argument(value, &a->implied_or);
        } else if (strcmp(argv[i - 1], "--caret") == 0) {
            ok = parse_caret(value, &a->caret);
        } else {
            ok = false;
        }
        if (!ok) return false;
    }
    if (argc - i != 2) return false;
    a->collection_path = argv[i];
    a->expression = argv[i + 1];
    return true;
}

void append_rows(std::string* out, const PtrVector* records) {
    for (uint32_t i = 0; i < records->count; i++) {
        const Bookmark* b = static_cast<const Bookmark*>(records->items[i]);
        *out += b->url;
        *out += '\t';
        *out += b->title;
        *out += '\n';
    }
}

// The output for a non-empty prepared expression, or false on a syntax error
// (or the internal fault), having reported it.
bool search_rows(const Collection& collection, const SearchArguments& a, const char* text, std::string* out) {
    SearchRequest request = {};
    request.index = collection.keyword_index;
    request.all_records = collection.records;
    request.expression = text;
    request.caret = static_cast<int32_t>(a.caret);
    request.partial_match = a.partial_match;
    request.case_sensitive = a.case_sensitive;
    request.implied_or = a.implied_or;
    RecordTerms terms = create_record_terms(&collection, host_ascii);
    request.term_records = record_term_records;
    request.term_context = &terms;
    SearchStatus status = run_search(&request);
    free_record_terms(&terms);
    if (status != SEARCH_OK) {
        fputs(status == SEARCH_FAULT ? "An Unknown error occured in the application" : search_error_text(status),
              stderr);
        fputc('\n', stderr);
        return false;
    }
    if (a.show_hint) {
        tidy_search_hint(request.hint, a.case_sensitive);
        *out += request.hint ? request.hint : "No Matches";
        *out += '\n';
    }
    append_rows(out, request.result);
    vec_destroy(request.result);
    free(request.hint);
    return true;
}

}  // namespace

int run_search_command(int argc, char** argv) {
    SearchArguments a;
    if (!parse_search_arguments(argc, argv, &a)) return print_usage();
    if (a.caret < 0) a.caret = static_cast<long>(strlen(a.expression));

    // Read as the program reads its collection file at start-up.
    Collection collection = create_collection();
    if (!read_bookmark_file(&collection, a.collection_path, false, nullptr, nullptr)) {
        report_unreadable_file(a.collection_path);
        free_collection(&collection);
        return 1;
    }
    char* text = str_dup(a.expression);
    std::string out;
    bool ok = true;
    if (prepare_filter_text(text)) {
        ok = search_rows(collection, a, text, &out);
    } else {
        // No filter: every bookmark, and no word was listed for the hint.
        if (a.show_hint) out += "No Matches\n";
        append_rows(&out, collection.records);
    }
    free(text);
    free_collection(&collection);
    if (!ok) return 1;
    return write_output(out.data(), out.size()) ? 0 : 1;
}
