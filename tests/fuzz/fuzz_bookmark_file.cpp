// Any text as a bookmark file: the collection stays whole, each bookmark counted once, and it survives a reload.
#include <cstdint>
#include <cstdlib>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "collection/collection_file.h"
#include "collection/import_report.h"
#include "tests/collection/collection_invariants.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/take_text.h"

namespace {

bool go_on(uint32_t, void*) { return true; }

Collection dated_collection() {
    Collection collection = create_collection();
    set_fixed_clock(&collection, 1700000000);
    return collection;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = fuzz_text(data, size);
    Collection first = dated_collection();
    ImportReport report = create_import_report();
    read_bookmark_text(&first, text, true, go_on, nullptr, &report);
    free(text);
    fuzz_expect(check_collection(&first).empty(), "collection after reading:", check_collection(&first));
    fuzz_expect(report.added == first.records->count, "every bookmark added is counted once");
    free_import_report(&report);

    const std::string saved = take_text(build_collection_text(first.records));
    Collection second = dated_collection();
    read_bookmark_text(&second, saved.c_str(), true, nullptr, nullptr);
    fuzz_expect(check_collection(&second).empty(), "collection after reloading:", check_collection(&second));
    fuzz_expect(dump_records(&first) == dump_records(&second), "reloaded bookmarks differ:", saved);
    fuzz_expect(take_text(build_collection_text(second.records)) == saved, "saved twice, the texts differ");
    free_collection(&first);
    free_collection(&second);
    return 0;
}
