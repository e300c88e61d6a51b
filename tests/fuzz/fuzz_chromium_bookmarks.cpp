// Any bytes as a Chromium `Bookmarks` file: a failure comes without bookmarks, and what is read keeps the collection
// whole, every entry counted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "collection/bookmark_source.h"
#include "collection/chromium_bookmarks.h"
#include "collection/collection.h"
#include "collection/import_report.h"
#include "collection/store_bookmarks.h"
#include "tests/collection/collection_invariants.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader is given the length: it must not look past it, not even at the terminator.
    char* text = fuzz_text(data, size);
    is_chromium_bookmarks_text(text, size);
    const StoreRead read = read_chromium_bookmarks(text, size);
    free(text);
    fuzz_expect(read.failure.empty() || read.bookmarks.empty(), "a failed read yields no bookmarks");
    Collection collection = create_collection();
    set_fixed_clock(&collection, 1700000000);
    ImportReport report = create_import_report();
    BookmarkSink sink = open_bookmark_sink(&collection, true, &report);
    add_store_bookmarks(&sink, read);
    close_bookmark_sink(&sink);
    fuzz_expect(check_collection(&collection).empty(), "collection invariants", check_collection(&collection));
    fuzz_expect(report.added + report.merged + report.skipped == read.bookmarks.size(), "every entry counted");
    free_import_report(&report);
    free_collection(&collection);
    return 0;
}
