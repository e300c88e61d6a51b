// The search's site: and is: terms over a collection: the records each term
// selects, handed to the search through SearchRequest::term_records. The
// search knows the terms' syntax only; what a bookmark's host and state are
// is known here.
#pragma once

#include <cstdint>

#include "collection/page_address.h"
#include "core/bookmark.h"
#include "core/containers.h"
#include "search/search_parser.h"

struct Collection;
struct HostIndex;
struct PageIndex;

struct RecordTerms {
    const Collection* collection;
    HostToAscii to_ascii;
    // Every record's host (and its IDNA form, when that differs) in lower
    // case and read backwards, sorted: a site and its subdomains are one run
    // of it. Made at the first site: search; null before.
    HostIndex* hosts;
    // Every record's page key with the number of records that have it, and
    // the duplicates found from them; made at the first is:duplicate search.
    PageIndex* pages;
    // Both are kept between searches, and brought up to date at the next one
    // after the records or their URLs changed: by the records added and
    // deleted since, so that a deletion costs no new grouping; afresh after a
    // URL changed in place. A new title or keyword changes neither.
};

RecordTerms create_record_terms(const Collection* collection, HostToAscii to_ascii);
void free_record_terms(RecordTerms* terms);

// Making both indexes costs about 0.15 s per 100,000 records, which the first
// site: or is:duplicate search would otherwise pay in one keystroke: a window
// makes them ahead on a worker thread, from copies of the records' URLs.
struct RecordTermsJob;
// Whether an index is missing or would have to be made anew at the next search.
bool record_terms_due(const RecordTerms* terms);
// The copies, made on the thread that changes the collection.
RecordTermsJob* copy_for_record_terms(const RecordTerms* terms);
// Makes the indexes from the copies alone: on any thread.
void make_record_terms(RecordTermsJob* job);
// Puts what the job made in place of indexes that are missing or due to be
// made anew (records added and deleted since the copies are followed at the
// next search), then frees the job.
void take_record_terms(RecordTerms* terms, RecordTermsJob* job);
void free_record_terms_job(RecordTermsJob* job);

// A TermRecords for SearchRequest, with a RecordTerms as the context.
PtrVector* record_term_records(void* terms, const SearchNode* term);

// Whether a record is in the state; STATE_DUPLICATE, which depends on the
// other records, is never true here. broken, suspect and changed are what the
// list shows (shown_state); moved and blocked are the last check's verdict;
// unchecked is a bookmark never checked or whose address is not checked
// (not a web address).
bool record_in_state(const Bookmark* record, SearchState state);
