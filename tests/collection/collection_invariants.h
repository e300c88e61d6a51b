#pragma once

#include <string>

#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/import_report.h"
#include "collection/record_terms.h"

// Empty when `records` is in strict identity order below next_serial,
// `records_by_url` is in strict URL order and holds only records of `records`,
// every record's URL leads to a stored record with that URL, and the keyword
// index agrees with the records. Else the first problem found.
std::string check_collection(const Collection* collection);

// One line per record in `records` order: url|title|keywords|added|visit|modified,
// dates in decimal, U for one that is not a real date.
std::string dump_records(const Collection* collection);

// Every field of every record but its identity, in `records` order, a line
// each: what taking a change back must give back exactly.
std::string dump_every_field(const Collection* collection);

// The indexes in `records` of what a search term selects, spaced.
std::string term_records(RecordTerms* terms, const char* expression);

// A collection on a fixed clock, and a sink into it with its report.
struct ImportInto {
    Collection collection = create_collection();
    ImportReport report = create_import_report();
    BookmarkSink sink = {};
    explicit ImportInto(bool automatic) {
        set_fixed_clock(&collection, 9);
        sink = open_bookmark_sink(&collection, automatic, &report);
    }
    ~ImportInto() {
        free_import_report(&report);
        free_collection(&collection);
    }
};
