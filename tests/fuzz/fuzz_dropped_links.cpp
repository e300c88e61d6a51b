// Dropped or pasted data read in every form at once (the HTML clipboard format unterminated, so that a read past its
// end is caught; the shortcut named by the first line); taking every link twice keeps the collection whole.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/dropped_links.h"
#include "collection/import_report.h"
#include "core/utf8.h"
#include "tests/collection/collection_invariants.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* bytes = static_cast<char*>(malloc(size ? size : 1));
    if (size) memcpy(bytes, data, size);
    std::vector<DroppedLink> links = html_format_links(bytes, size);
    const std::string utf16 = utf8_from_utf16le(bytes, size);
    fuzz_expect(is_valid_utf8(utf16.data(), utf16.size()), "UTF-16 read into invalid UTF-8");
    free(bytes);

    char* text = fuzz_text(data, size);
    for (const DroppedLink& link : moz_url_links(text)) links.push_back(link);
    for (const DroppedLink& link : plain_text_links(text)) {
        fuzz_expect(link.url.find_first_of(" \t\r\n") == std::string::npos, "a plain-text URL with blanks:", link.url);
        links.push_back(link);
    }
    char* file_name;
    char* shortcut;
    fuzz_split(data, size, &file_name, &shortcut);
    DroppedLink link;
    if (internet_shortcut_link(file_name, shortcut, &link)) links.push_back(link);

    Collection collection = create_collection();
    set_fixed_clock(&collection, 1700000000);
    ImportReport report = create_import_report();
    for (int round = 0; round < 2; round++) {
        BookmarkSink sink = open_bookmark_sink(&collection, true, &report);
        take_dropped_links(&sink, links);
        close_bookmark_sink(&sink);
    }
    fuzz_expect(check_collection(&collection).empty(), "collection after taking links:", check_collection(&collection));
    fuzz_expect(collection.records->count <= links.size(), "more bookmarks than links");
    free_import_report(&report);
    free_collection(&collection);
    free(file_name);
    free(shortcut);
    free(text);
    return 0;
}
