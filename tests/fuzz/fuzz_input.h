// What every fuzz target shares: copies of the input in blocks of exactly its size (AddressSanitizer sees a read past
// the end), a failed expectation ending the run as a crash would, and a collection to import into.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/import_report.h"
#include "tests/collection/collection_invariants.h"

using FuzzBlock = std::unique_ptr<char[], decltype(&free)>;

// The bytes alone, for a reader given their length: it must not look past them, not even at a terminator.
inline FuzzBlock fuzz_bytes(const uint8_t* data, size_t size) {
    FuzzBlock block(static_cast<char*>(malloc(size ? size : 1)), free);
    if (size) memcpy(block.get(), data, size);
    return block;
}

// The bytes with a zero after them. A zero byte inside ends the text there, as it would a file read by the program.
inline FuzzBlock fuzz_text(const uint8_t* data, size_t size) {
    FuzzBlock text(static_cast<char*>(malloc(size + 1)), free);
    memcpy(text.get(), data, size);
    text[size] = '\0';
    return text;
}

// The text before the first line break and the text after it; without one the first is empty.
inline std::pair<FuzzBlock, FuzzBlock> fuzz_split(const uint8_t* data, size_t size) {
    const void* newline = memchr(data, '\n', size);
    if (!newline) return {fuzz_text(data, 0), fuzz_text(data, size)};
    const size_t cut = static_cast<size_t>(static_cast<const uint8_t*>(newline) - data);
    return {fuzz_text(data, cut), fuzz_text(data + cut + 1, size - cut - 1)};
}

inline void fuzz_expect(bool holds, const char* what, const std::string& detail = std::string()) {
    if (holds) return;
    fprintf(stderr, "fuzz expectation failed: %s %s\n", what, detail.c_str());
    abort();
}

// A collection on a fixed clock (so that texts compared stay the same) with the report of what came into it.
struct FuzzCollection {
    Collection collection = create_collection();
    ImportReport report = create_import_report();
    FuzzCollection() { set_fixed_clock(&collection, 1700000000); }
    ~FuzzCollection() {
        free_import_report(&report);
        free_collection(&collection);
    }
    // Hands feed a sink over the collection, then expects the collection whole.
    template <typename Feed>
    void import(Feed feed) {
        BookmarkSink sink = open_bookmark_sink(&collection, true, &report);
        feed(&sink);
        close_bookmark_sink(&sink);
        expect_whole("collection after importing:");
    }
    void expect_whole(const char* when) const {
        fuzz_expect(check_collection(&collection).empty(), when, check_collection(&collection));
    }
};
