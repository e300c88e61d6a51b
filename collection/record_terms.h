// The search's site: and is: terms over a collection: the records each term
// selects, handed to the search through SearchRequest::term_records. The
// search knows the terms' syntax only; what a bookmark's host and state are
// is known here.
#pragma once

#include <cstdint>

#include "core/bookmark.h"
#include "core/containers.h"
#include "search/search_parser.h"

struct Collection;
struct HostIndex;

// A host's IDNA form (malloc'd; null when it has none). The program passes the
// checker's host_ascii, which this layer does not include.
typedef char* (*HostToAscii)(const char* host);

struct RecordTerms {
    const Collection* collection;
    HostToAscii to_ascii;
    // The records that share their page with another, as found when the
    // collection's edit count was duplicates_edits; null until is:duplicate
    // is first searched. Kept between searches: typing is:duplicate again
    // costs no new grouping while the collection is unchanged.
    PtrVector* duplicates;
    uint64_t duplicates_edits;
    // Every record's host (and its IDNA form, when that differs) in lower
    // case and read backwards, sorted: a site and its subdomains are one run
    // of it. Made at the first site: and kept, as the duplicates are.
    HostIndex* hosts;
    uint64_t hosts_edits;
};

RecordTerms create_record_terms(const Collection* collection, HostToAscii to_ascii);
void free_record_terms(RecordTerms* terms);

// A TermRecords for SearchRequest, with a RecordTerms as the context.
PtrVector* record_term_records(void* terms, const SearchNode* term);

// Whether a record is in the state; STATE_DUPLICATE, which depends on the
// other records, is never true here. broken, suspect and changed are what the
// list shows (shown_state); moved and blocked are the last check's verdict;
// unchecked is a bookmark never checked or whose address is not checked
// (not a web address).
bool record_in_state(const Bookmark* record, SearchState state);
