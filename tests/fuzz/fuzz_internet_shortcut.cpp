// Any Internet Shortcut (the first line its file's name): the URL has no blanks at its ends, and importing the file
// twice keeps the collection whole.
#include "collection/internet_shortcut.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto file = fuzz_split(data, size);
    const char* name = file.first.get();
    const char* text = file.second.get();
    is_shortcut_file_name(name);
    if (char* url = shortcut_url(text)) {
        const size_t length = strlen(url);
        fuzz_expect(
            length == 0 || (url[0] != ' ' && url[0] != '\t' && url[length - 1] != ' ' && url[length - 1] != '\t'),
            "the URL keeps blanks at its ends:", url);
        free(url);
    }
    FuzzCollection into;
    into.import([&](BookmarkSink* sink) {
        read_internet_shortcut(sink, name, text);
        read_internet_shortcut(sink, name, text);
    });
    fuzz_expect(into.collection.records->count <= 1, "one shortcut made more than one bookmark");
    return 0;
}
