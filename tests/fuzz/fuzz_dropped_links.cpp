// Dropped or pasted data read in every form at once (the HTML clipboard format unterminated, so that a read past its
// end is caught; the shortcut named by the first line); taking every link twice keeps the collection whole.
#include <vector>

#include "collection/dropped_links.h"
#include "core/utf8.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzBlock bytes = fuzz_bytes(data, size);
    std::vector<DroppedLink> links = html_format_links(bytes.get(), size);
    const std::string utf16 = utf8_from_utf16le(bytes.get(), size);
    fuzz_expect(is_valid_utf8(utf16.data(), utf16.size()), "UTF-16 read into invalid UTF-8");

    const FuzzBlock text = fuzz_text(data, size);
    for (const DroppedLink& link : moz_url_links(text.get())) links.push_back(link);
    for (const DroppedLink& link : plain_text_links(text.get())) {
        fuzz_expect(link.url.find_first_of(" \t\r\n") == std::string::npos, "a plain-text URL with blanks:", link.url);
        links.push_back(link);
    }
    const auto shortcut = fuzz_split(data, size);
    DroppedLink link;
    if (internet_shortcut_link(shortcut.first.get(), shortcut.second.get(), &link)) links.push_back(link);

    FuzzCollection into;
    for (int round = 0; round < 2; round++) into.import([&](BookmarkSink* sink) { take_dropped_links(sink, links); });
    fuzz_expect(into.collection.records->count <= links.size(), "more bookmarks than links");
    return 0;
}
