// Any Internet Shortcut (the first line its file's name): the URL has no blanks at its ends, and importing the file
// twice keeps the collection whole.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "collection/bookmark_source.h"
#include "collection/collection.h"
#include "collection/import_report.h"
#include "collection/internet_shortcut.h"
#include "tests/collection/collection_invariants.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* file_name;
    char* text;
    fuzz_split(data, size, &file_name, &text);
    is_shortcut_file_name(file_name);
    char* url = shortcut_url(text);
    if (url) {
        const size_t length = strlen(url);
        fuzz_expect(
            length == 0 || (url[0] != ' ' && url[0] != '\t' && url[length - 1] != ' ' && url[length - 1] != '\t'),
            "the URL keeps blanks at its ends:", url);
    }
    free(url);

    Collection collection = create_collection();
    set_fixed_clock(&collection, 1700000000);
    ImportReport report = create_import_report();
    BookmarkSink sink = open_bookmark_sink(&collection, true, &report);
    read_internet_shortcut(&sink, file_name, text);
    read_internet_shortcut(&sink, file_name, text);
    close_bookmark_sink(&sink);
    fuzz_expect(check_collection(&collection).empty(), "collection after importing:", check_collection(&collection));
    fuzz_expect(collection.records->count <= 1, "one shortcut made more than one bookmark");
    free_import_report(&report);
    free_collection(&collection);
    free(file_name);
    free(text);
    return 0;
}
