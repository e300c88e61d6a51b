// Any text as a bookmark file: the collection stays whole, each bookmark counted once, and it survives a reload.
#include "collection/bookmark_reader.h"
#include "collection/collection_file.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/take_text.h"

namespace {

bool go_on(uint32_t, void*) { return true; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzCollection first, second;
    read_bookmark_text(&first.collection, fuzz_text(data, size).get(), true, go_on, nullptr, &first.report);
    first.expect_whole("collection after reading:");
    fuzz_expect(first.report.added == first.collection.records->count, "every bookmark added is counted once");

    const std::string saved = take_text(build_collection_text(first.collection.records));
    read_bookmark_text(&second.collection, saved.c_str(), true, nullptr, nullptr);
    second.expect_whole("collection after reloading:");
    fuzz_expect(dump_records(&first.collection) == dump_records(&second.collection),
                "reloaded bookmarks differ:", saved);
    fuzz_expect(take_text(build_collection_text(second.collection.records)) == saved, "saved twice, the texts differ");
    return 0;
}
