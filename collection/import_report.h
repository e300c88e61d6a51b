// What an import did: how many bookmarks it added, how many it merged into
// bookmarks already stored, and which entries it skipped and why.
#pragma once

#include <cstdint>

#include "core/containers.h"

// What add_or_merge did with one bookmark.
enum AddOutcome : uint8_t {
    ADD_ADDED,
    ADD_MERGED,   // the URL was stored already: only its dates were merged
    ADD_SKIPPED,  // no URL
};

struct ImportReport {
    uint32_t added;
    uint32_t merged;
    uint32_t skipped;
    TextBuffer reasons;  // one line per skipped entry, "where: why", the first IMPORT_REASONS_KEPT of them
    // One line per source of an import that brings in several (the browsers'
    // stores): "Chrome (Work): 1,204 added, 3 merged, 0 skipped", or the
    // source's name and why it could not be read.
    TextBuffer sources;
};

const uint32_t IMPORT_REASONS_KEPT = 200;

ImportReport create_import_report();
void free_import_report(ImportReport* report);

// The reason add_or_merge skips a bookmark for.
extern const char IMPORT_NO_ADDRESS[];

// Counts an entry skipped, with where it stood (a line, a file name) and why.
// The report may be null.
void note_skipped(ImportReport* report, const char* where, const char* why);

// Adds what one source's import did to the report of the whole, with the
// source's line.
void add_source_report(ImportReport* report, const char* source, const ImportReport& part);
// A source that could not be read: its line with the reason.
void note_unread_source(ImportReport* report, const char* source, const char* why);

// "N added, M merged, K skipped": owned text, free with free().
char* import_counts_text(const ImportReport* report);
