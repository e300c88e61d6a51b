// Any text typed into the filter box, searched as the window does over a small collection. The input's first byte
// chooses the options (bit 0 partial matches, bit 1 case counts, bit 2 implied OR) and how far before the text's end
// the caret stands (the rest of its bits); the rest is the typed text.
#include "search/search_eval.h"
#include "search/search_filter.h"
#include "search/search_parser.h"
#include "tests/fuzz/fuzz_input.h"

namespace {

Collection make_collection() {
    const char* const bookmarks[][2] = {
        {"News of the day", "news daily world"},
        {"Köln – Wikipedia", "köln wikipedia stadt"},
        {"Москва новости", "москва новости"},
        {"C++ reference", "c++ reference std_vector"},
        {"Web archive", "web archive WEB Archive"},
        {"東京 guide", "東京 guide travel"},
        {"Untitled", nullptr},
    };
    Collection collection = create_collection();
    set_fixed_clock(&collection, 1700000000);
    int n = 0;
    for (const auto& bookmark : bookmarks) {
        const std::string url = "http://example.com/" + std::to_string(n++);
        add_or_merge(&collection, str_dup(bookmark[0]), str_dup(url.c_str()), bookmark[1], DATE_UNSET, DATE_UNSET,
                     DATE_UNSET, true);
    }
    return collection;
}

const Collection kCollection = make_collection();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t choice = data[0];
    const FuzzBlock block = fuzz_text(data + 1, size - 1);
    char* text = block.get();
    const int32_t length = static_cast<int32_t>(strlen(text));

    SearchNode* tree = parse_search_expression(text);
    const bool parsed = tree != nullptr;
    if (parsed) free(dump_search_tree(tree));
    free_search_tree(tree);

    // The caret keeps its place in the box while prepare_filter_text cuts the expression's end off.
    const int32_t caret = length - (choice >> 3) % (length + 1);
    if (prepare_filter_text(text)) {
        SearchRequest request = {};
        request.index = kCollection.keyword_index;
        request.all_records = kCollection.records;
        request.expression = text;
        request.caret = caret;
        request.partial_match = choice & 1;
        request.case_sensitive = choice & 2;
        request.implied_or = choice & 4;
        const SearchStatus status = run_search(&request);
        fuzz_expect(status != SEARCH_FAULT, "the parser made an unknown operator");
        fuzz_expect((status == SEARCH_OK) == parsed || strlen(text) != static_cast<size_t>(length),
                    "the search and the parser disagree:", text);
        if (status == SEARCH_OK) {
            fuzz_expect(request.result->count <= kCollection.records->count, "more results than records");
            tidy_search_hint(request.hint, request.case_sensitive);
            vec_destroy(request.result);
            free(request.hint);
        }
    }
    return 0;
}
