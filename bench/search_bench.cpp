// Search evaluation over a 100,000-bookmark collection: a one-letter prefix
// (the widest word match), a typical two-word query, and a negated word. Every
// keystroke in the filter box runs one such evaluation, so each should take a
// few milliseconds at most.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "collection/bookmark_reader.h"
#include "collection/collection.h"
#include "search/keyword_index.h"
#include "search/search_eval.h"
#include "search/search_filter.h"
#include "tools/gen_bookmarks/bookmark_generator.h"

namespace {

const uint32_t kBookmarks = 100000;

// The generated 100,000-bookmark file, imported as the program imports a
// browser's bookmark file (keywords taken from titles, descriptions, folders).
struct BenchCollection {
    Collection collection = create_collection();
    char busiest_letter = 'a';

    BenchCollection() {
        std::string text = generate_bookmark_file(kBookmarks, 1);
        read_bookmark_text(&collection, text.c_str(), true, nullptr, nullptr);
        // The letter whose words carry the most records, ignoring case.
        size_t postings[26] = {};
        const PtrVector* entries = collection.keyword_index->entries;
        for (uint32_t i = 0; i < entries->count; i++) {
            const WordEntry* e = static_cast<const WordEntry*>(entries->items[i]);
            char c = fold_ascii(e->word[0]);
            if (c >= 'a' && c <= 'z') postings[c - 'a'] += e->records->count;
        }
        for (int c = 0; c < 26; c++) {
            if (postings[c] > postings[busiest_letter - 'a']) busiest_letter = static_cast<char>('a' + c);
        }
    }
};

BenchCollection& bench_collection() {
    static BenchCollection instance;
    return instance;
}

// One keystroke's work with the filter box's defaults (partial match on, case
// off, implied AND, caret at the end): the search and the hint as shown.
void run_query(benchmark::State& state, const std::string& expression) {
    BenchCollection& b = bench_collection();
    size_t found = 0;
    for (auto _ : state) {
        SearchRequest r = {};
        r.index = b.collection.keyword_index;
        r.all_records = b.collection.records;
        r.expression = expression.c_str();
        r.caret = static_cast<int32_t>(expression.size());
        r.partial_match = true;
        if (run_search(&r) != SEARCH_OK) {
            state.SkipWithError("search failed");
            break;
        }
        tidy_search_hint(r.hint, false);
        found = r.result->count;
        vec_destroy(r.result);
        free(r.hint);
    }
    state.counters["found"] = static_cast<double>(found);
    state.SetLabel(expression);
}

void BM_OneLetterPrefix(benchmark::State& state) {
    run_query(state, std::string(1, bench_collection().busiest_letter));
}

void BM_TwoWords(benchmark::State& state) { run_query(state, "python tutorial"); }

void BM_NotWord(benchmark::State& state) { run_query(state, "!news"); }

BENCHMARK(BM_OneLetterPrefix)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoWords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotWord)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
