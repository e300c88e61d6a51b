// Any bytes as a Chromium `Bookmarks` file: a failure comes without bookmarks, and what is read keeps the collection
// whole, every entry counted.
#include "collection/chromium_bookmarks.h"
#include "collection/store_bookmarks.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzBlock bytes = fuzz_text(data, size);
    is_chromium_bookmarks_text(bytes.get(), size);
    const StoreRead read = read_chromium_bookmarks(bytes.get(), size);
    fuzz_expect(read.failure.empty() || read.bookmarks.empty(), "a failed read yields no bookmarks");
    FuzzCollection into;
    into.import([&](BookmarkSink* sink) { add_store_bookmarks(sink, read); });
    fuzz_expect(into.report.added + into.report.merged + into.report.skipped == read.bookmarks.size(),
                "every entry counted");
    return 0;
}
